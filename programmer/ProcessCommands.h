// ProcessCommands: the program's parameters as commands. Each parameter is
// one KEY=VALUE command or the path of a ".ZLT" script file whose lines are
// such commands; they run before the event loop, in command mode, through
// the same handlers, menu checks, check boxes and edits that a user would
// operate.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TMainForm;

// Tells the port library once, before any window exists, whether the
// program was started with parameters.
void InitCommandMode();

// Splits a command line the way the C runtime builds argv from
// GetCommandLineA: blanks and tabs separate arguments outside quotes; 2n
// backslashes before a quote give n backslashes and the quote opens or
// closes a quoted part, 2n+1 give n backslashes and a literal quote; other
// backslashes are literal; "" inside a quoted part is a literal quote. The
// first argument (the program) ends at the next quote or blank and knows no
// escapes.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The program's parameters, without the program's own path.
std::vector<std::string> ProgramParameters();

// Whether a command's key names a script file (ends in ".ZLT", any case).
bool IsScriptFileName(const std::string& key);

// Splits one command at `separator` ("=" in use): key and value trimmed of
// blanks and control characters; a key naming a script file gets an empty
// value. A line without the separator raises the tokenizer's index error.
void SplitCommand(const std::string& line, char separator, std::string& key, std::string& value);

// Runs one command on the main window. Keys and values compare upper-cased;
// an unknown key or a refused value shows the syntax-error box, closes the
// port and asks the application to end.
void ExecuteCommand(TMainForm& form, const std::string& key, const std::string& value);

// Runs one script file's lines; any error ends the file with the
// script-error box naming it.
void ProcessScriptFile(TMainForm& form, const std::string& path);

// Runs every parameter in order, up to a buffer load given as a parameter
// that fails; afterwards the main window is back in interactive mode and
// knows that the command line has been dealt with.
void ProcessCommandLine(TMainForm& form);
void ProcessCommandLine(TMainForm& form, const std::vector<std::string>& parameters);

// The keywords in the order they are tested.
const std::vector<std::string>& CommandKeywords();
