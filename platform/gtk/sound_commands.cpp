#include "platform/gtk/sound_commands.h"

#include <cwctype>
#include <vector>

namespace {

Text Lower(Text s) {
  for (wchar_t& c : s)
    c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return s;
}

// Words separated by blanks; a word in double quotes keeps its blanks.
std::vector<Text> Words(const Text& command) {
  std::vector<Text> words;
  std::size_t i = 0;
  while (i < command.size()) {
    if (command[i] == L' ' || command[i] == L'\t') {
      ++i;
      continue;
    }
    if (command[i] == L'"') {
      std::size_t end = command.find(L'"', i + 1);
      if (end == Text::npos) end = command.size();
      words.push_back(command.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    std::size_t end = i;
    while (end < command.size() && command[end] != L' ' && command[end] != L'\t')
      ++end;
    words.push_back(command.substr(i, end - i));
    i = end;
  }
  return words;
}

}  // namespace

SoundCommand ParseSoundCommand(const Text& command) {
  SoundCommand parsed;
  std::vector<Text> words = Words(command);
  if (words.size() < 2) return parsed;
  Text verb = Lower(words[0]);
  if (verb == L"open") {
    // open ELEMENT [type TYPE] [alias ALIAS]: without an alias the device is known by its element.
    parsed.verb = SoundCommand::Open;
    parsed.file = words[1];
    parsed.alias = Lower(words[1]);
    for (std::size_t i = 2; i + 1 < words.size(); i += 2) {
      Text key = Lower(words[i]);
      if (key == L"alias") {
        parsed.alias = Lower(words[i + 1]);
      } else if (key != L"type") {
        parsed.verb = SoundCommand::Unknown;  // a flag this program never sends
        return parsed;
      }
    }
    return parsed;
  }
  parsed.alias = Lower(words[1]);
  if (verb == L"seek") {
    parsed.verb = SoundCommand::Seek;
    parsed.toStart = words.size() == 4 && Lower(words[2]) == L"to" && Lower(words[3]) == L"start";
    if (!parsed.toStart) parsed.verb = SoundCommand::Unknown;
  } else if (verb == L"play" && words.size() == 2) {
    parsed.verb = SoundCommand::Play;
  } else if (verb == L"stop" && words.size() == 2) {
    parsed.verb = SoundCommand::Stop;
  } else if (verb == L"close" && words.size() == 2) {
    parsed.verb = SoundCommand::Close;
  }
  return parsed;
}

bool IsWaveHead(const std::string& head) {
  return head.size() >= 12 && head.compare(0, 4, "RIFF") == 0 && head.compare(8, 4, "WAVE") == 0;
}

bool SoundChannels::IsOpen(const Text& alias) const {
  return players_.count(Lower(alias)) != 0;
}

void SoundChannels::Send(const Text& command) {
  SoundCommand parsed = ParseSoundCommand(command);
  if (parsed.verb == SoundCommand::Close && parsed.alias == L"all") {
    while (!players_.empty())
      players_.erase(players_.begin());
    return;
  }
  if (parsed.verb == SoundCommand::Open) {
    // MCI refuses an alias already in use and keeps the device that has it.
    if (players_.count(parsed.alias) || parsed.alias == L"all") return;
    std::string file = find_(parsed.file);
    if (file.empty()) return;
    std::unique_ptr<SoundPlayer> player = open_(file);
    if (player) players_.emplace(parsed.alias, std::move(player));
    return;
  }
  auto found = players_.find(parsed.alias);
  if (found == players_.end()) return;
  switch (parsed.verb) {
    case SoundCommand::Seek:
      found->second->Rewind();
      break;
    case SoundCommand::Play:
      found->second->Play();
      break;
    case SoundCommand::Stop:
      found->second->Stop();
      break;
    case SoundCommand::Close:
      players_.erase(found);
      break;
    default:
      break;
  }
}
