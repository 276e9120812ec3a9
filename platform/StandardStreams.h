#pragma once

namespace quirn {

// Makes standard output and error carry bytes as they are: Windows otherwise turns every line
// feed a program writes into a carriage return and a line feed, which would change program
// images and messages on their way out. Nothing to do elsewhere.
void useBinaryStandardStreams();

}  // namespace quirn
