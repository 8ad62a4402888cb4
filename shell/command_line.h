// The command line: flags and name=value options.
//
// Every argument, the program path included, is examined. A leading run of "-" and "/"
// is skipped; names compare without regard to case.
#pragma once

#include <string>
#include <vector>

// The arguments that the option queries examine (argv[0] included).
void SetCommandLine(int argc, char** argv);
void SetCommandLine(const std::vector<std::string>& arguments);
const std::vector<std::string>& CommandLine();

// True when some argument is exactly the option name ("-skip", "/SKIP").
bool HasOption(const std::string& name);
// The text after "name=" of the first argument that has it; "" when there is none.
std::string OptionValue(const std::string& name);

// C-like number conversion: leading white space, an optional sign, the digits up to the
// first non-digit; 0 when there are none. Saturates instead of overflowing.
int OptionNumber(const std::string& text);

// Applies every option of the command line to the settings.
void ParseCommandLine();

// The -help text, one line per option.
std::string HelpText();
