#pragma once

// Releases a COM interface when set and forgets it.
template <typename T>
void ReleaseInterface(T*& object) {
  if (object != nullptr) {
    object->Release();
    object = nullptr;
  }
}
