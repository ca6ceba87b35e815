# The full-screen Direct3D 9 status display (filled in by its own change).
