// The handlers behind the rows of the command table: the engine's side of
// the xboard protocol. Each returns true when it accepted the command.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/mainloop.h"

constexpr const char* ENGINE_NAME = "Quillfen";
constexpr const char* ENGINE_VERSION = "1.2";

// The leading decimal integer of a word: optional leading white space, an
// optional sign, digits; stops at the first other character, 0 without
// digits. A value beyond the 32-bit range saturates.
std::int32_t parseNumber(std::string_view word);

bool cmdXboard(Engine& engine, const WordList& words, const std::string& line);
bool cmdProtover(Engine& engine, const WordList& words, const std::string& line);
bool cmdNew(Engine& engine, const WordList& words, const std::string& line);
bool cmdQuit(Engine& engine, const WordList& words, const std::string& line);
bool cmdForce(Engine& engine, const WordList& words, const std::string& line);
bool cmdGo(Engine& engine, const WordList& words, const std::string& line);
bool cmdLevel(Engine& engine, const WordList& words, const std::string& line);
bool cmdSd(Engine& engine, const WordList& words, const std::string& line);
bool cmdTime(Engine& engine, const WordList& words, const std::string& line);
bool cmdPing(Engine& engine, const WordList& words, const std::string& line);
bool cmdResult(Engine& engine, const WordList& words, const std::string& line);
bool cmdUndo(Engine& engine, const WordList& words, const std::string& line);
bool cmdRemove(Engine& engine, const WordList& words, const std::string& line);
bool cmdVariant(Engine& engine, const WordList& words, const std::string& line);
bool cmdAuto(Engine& engine, const WordList& words, const std::string& line);
bool cmdIgnore(Engine& engine, const WordList& words, const std::string& line);
