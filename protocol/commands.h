// The command table and the handlers behind its rows: the engine's side of
// the xboard protocol. Each handler returns true when it accepted the
// command.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "protocol/engine.h"
#include "protocol/words.h"

constexpr const char* ENGINE_NAME = "Quillfen";
constexpr const char* ENGINE_VERSION = QUILLFEN_VERSION;  // project(VERSION) in CMakeLists.txt

using CommandHandler = bool (*)(Engine&, const WordList&, const std::string&);

struct CommandEntry {
    const char* name;
    std::int32_t minWords;
    std::int32_t maxWords;  // 0: the same as minWords
    CommandHandler handler;
};

// Every command the engine knows, by its first word.
extern const std::span<const CommandEntry> COMMANDS;

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
