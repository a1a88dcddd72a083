// The runtime's numbered messages in English and German, the optional
// language file that replaces 18 of them, and the error box every runtime
// failure is shown in.
#pragma once

#include <string>

#include "platform/os/Types.h"

// Which built-in language GetMessageText answers in (false: German). Chosen
// once at start from the user's default language.
extern bool MessagesInEnglish;
// Set by the main window after LoadLanguageFile succeeded; only then do the
// language file's texts replace the built-in ones.
extern bool LanguageFileLoaded;

// The text of message `id` with its first "~" replaced by `argument`; "" for
// an id without a text.
std::string GetMessageText(int id, const std::string& argument = "");
// A modal error box (error symbol, OK) captioned with message 1, owned by the
// main form's window when there is one, else by the application's window.
void ShowErrorMessage(int id, const std::string& argument = "");
// Reads a UTF-8 language file: line n (1 to 18) gives the text of the n-th
// replaceable id, line 19 is read and unused. A file of fewer than 19 lines
// (an invalid UTF-8 file has none) raises EListError "List index out of
// bounds (%d)" and keeps the texts held before.
void LoadLanguageFile(const std::string& path);
// The text after the first "=" (the whole line without one), each "#" made a
// CR LF line break.
std::string ParseLanguageLine(const std::string& line);
// UTF-16 text in an 8-bit code page; characters the page lacks become its
// default character.
std::string WideToCodePage(const std::u16string& text, UINT codePage);
