// platform.h: the start-up steps each platform takes its own way. One file per platform
// implements them (platform_linux.cpp, ...), and CMake builds the one for the target.
#pragma once

// Makes sure that what the program prints on standard output reaches the user while the window
// is open, on a console of its own where the platform gives one. Call first, before anything
// opens a file or a connection.
void AttachConsole();

// Builds the pop-up menu from the shared table (kMainMenuEntries), drawn the platform's way, and
// attaches it to the right mouse button; a choice calls MyMainMenu. Call with the window created.
void AttachMainMenu();
