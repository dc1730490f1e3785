// What the option parser's parts share: noting the first problem of a
// value, reading whole numbers, and the long options (app/LongOptions.cpp).
#ifndef RUZARAVO_APP_OPTIONPARSE_H
#define RUZARAVO_APP_OPTIONPARSE_H

#include <string>
#include <vector>

#include "run/RunParam.h"

extern const char kOptionError[];
extern const char kWidthError[];
extern const char kMotifsError[];

// Records a problem unless an earlier one was found.
void NoteProblem(INPUTPARAMETER* param, const char* message, const std::string& subject, const std::string& reason);
// The whole word is a base-10 integer with an optional sign (held inside
// the int range).
bool ReadWholeInt(const char* text, int* value);
// Reads an integer option value; message is the fixed message of a refusal.
void ApplyInt(INPUTPARAMETER* param, const char* word, const char* value, int* field, const char* message);

// Applies a long option; a word that is only another option's value is not
// refused when it names no option.
void ApplyLongOption(INPUTPARAMETER* param, const char* word, const char* value, bool isValue);
// True when the long option word takes the next word as its value.
bool LongTakesValue(const char* word);
// True when word is exactly the name of a long option ("--seed").
bool IsLongName(const char* word);
// Appends the name of every long option.
void AddLongNames(std::vector<std::string>* names);

#endif
