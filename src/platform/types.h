#pragma once
// Opaque handles the portable code passes through without looking inside.
namespace platform {
using WindowHandle = void*;    // HWND on Windows; unused elsewhere
using InstanceHandle = void*;  // HINSTANCE on Windows; unused elsewhere
}  // namespace platform
