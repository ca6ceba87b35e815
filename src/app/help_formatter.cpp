#include "app/help_formatter.h"

#include <sstream>

std::string HelpFormatter::make_expanded(const CLI::App* command) const {
  std::ostringstream out;
  out << "\nCommand " << command->get_name() << ":\n  " << command->get_description() << "\n\n";
  for (const CLI::Option* option : command->get_options()) {
    if (option == command->get_help_ptr() || option == command->get_help_all_ptr()) continue;
    out << make_option(option, false);
  }
  return out.str();
}
