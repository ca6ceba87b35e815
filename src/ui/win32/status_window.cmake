# The full-screen Direct3D 9 status display. d3d9.dll and the D3DX library
# are loaded at run time, so no Direct3D import library is linked.
add_library(kv3r_status_d3d STATIC d3d_status_window.cpp d3d_library.cpp)
target_link_libraries(kv3r_status_d3d PUBLIC kv3r_ui PRIVATE kv3r_results kv3r_warnings gdi32 user32)
