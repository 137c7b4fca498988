#pragma once

// Entry of the organiser's windows: runs the login dialog and everything
// after it, and returns the exit code. Looked up by name at run time.
extern "C" __attribute__((visibility("default"))) int lumo_run_organiser(int argc, char** argv);

inline constexpr const char* kOrganiserLibrary = "liblumo_organiser.so";
