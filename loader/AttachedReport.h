#pragma once
#include <string>

namespace quirn {

class LoaderController;

// What the loader window shows about the attached switch, as plain text in the window's order
// (the result, the program read, then the status, sent and clock lines), one line each and
// blank lines left out. A technician copies it into a work order or a ticket; a check that
// drives the real window reads the result from it.
std::string attachedReport(const LoaderController& controller);

}  // namespace quirn
