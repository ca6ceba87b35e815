#pragma once

// What a JACK client left open on a dead or silent server may still reach:
// libjack's threads call back into the client's state and run in the
// library's code. Such objects are never freed; they are held here so that
// the process still reaches them (a leak checker sees them as kept, not
// lost). Accepts null.
void KeepUntilExit(const void* object);
