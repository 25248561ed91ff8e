// TINIT.h - windowing start-up: GLUT and the engine's one window.
#pragma once

// Initialises GLUT with the program's arguments and opens the engine window (once; a later
// call makes the same window current again). Prints "OpenGL InitGL Called...".
void InitGL(int SEargc, char** SEargv);
