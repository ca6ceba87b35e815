#include "output/asio/asio_sample_type_name.h"

const char* AsioSampleTypeName(int32_t type) {
  switch (type) {
    case 0: return "Int16MSB";
    case 1: return "Int24MSB";
    case 2: return "Int32MSB";
    case 3: return "Float32MSB";
    case 4: return "Float64MSB";
    case 8: return "Int32MSB16";
    case 9: return "Int32MSB18";
    case 10: return "Int32MSB20";
    case 11: return "Int32MSB24";
    case 16: return "Int16LSB";
    case 17: return "Int24LSB";
    case 18: return "Int32LSB";
    case 19: return "Float32LSB";
    case 20: return "Float64LSB";
    case 24: return "Int32LSB16";
    case 25: return "Int32LSB18";
    case 26: return "Int32LSB20";
    case 27: return "Int32LSB24";
    case 32: return "DSDInt8LSB1";
    case 33: return "DSDInt8MSB1";
    case 40: return "DSDInt8NER8";
    default: return "Unknown";
  }
}
