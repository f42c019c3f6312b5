// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// Where the tool writes: results on standard output, messages on standard
// error. A message is written after every result before it, whatever the two
// outputs are (a terminal, a pipe, one log for both), and a file name reaches
// a terminal with its control bytes shown as "?", so that it cannot send
// escape sequences; into a file or a pipe names go as they are.
namespace varnoquil::cli {

inline const char* const kProgram = "varnoquil-cli";

// Writes bytes to standard output. A write that fails raises
// FileError("Cannot write to standard output: REASON").
void WriteOut(const std::string& bytes);
// Writes bytes to standard output at once, so that they show while work
// goes on; a failure does not cut the work short but is raised by FinishOut.
void ShowOut(const std::string& bytes);
// Writes what is still buffered; raises as WriteOut does, also for a failure
// that ShowOut met.
void FinishOut();

// A file name as a result line on standard output shows it.
std::string NameOnOut(const std::string& path);

// "varnoquil-cli: MESSAGE" on standard error.
void Complain(const std::string& message);
// "varnoquil-cli: PATH: MESSAGE" on standard error; without a path, as
// Complain.
void ComplainAbout(const std::string& path, const std::string& message);
// A line on standard error as it is (a batch's summary).
void WriteErrLine(const std::string& line);

} // namespace varnoquil::cli
