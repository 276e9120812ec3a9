#pragma once

namespace quirn::ctl {

// True when the first word after the global options is "timetest".
bool isTimeTestCommand(int argc, const char* const* argv);

// quirnctl [--root DIR] timetest NAME --port DEVICE [--type 0|1|2|3] [--date YYYY-MM-DD]
//   NAME: date-flip | step16 | ap36 | dwp | step2460 | dst | all
// Runs the advanced time tests on real time against the time switch at master group 1, group
// 1, location 1 of the working folder, reached on the device, and prints every line as the
// testing window shows it (time prefix included), summaries too. The programming the tests
// build stays in memory: the working folder is not written. Before the port is opened, one
// line on standard error says how long the run takes and, for the tests that program the
// switch, whose programming they replace in memory and send to location 1; the run goes on
// without a question, so scripts keep working. A test that cannot judge the switch's model
// says so and does not start ("all" passes over it). Exit 0 when every check passed, 1 when
// any failed, 2 when the test could not run.
int runTimeTestCommand(int argc, const char* const* argv);

}  // namespace quirn::ctl
