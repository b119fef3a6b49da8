// The program's multimedia command strings, as the sound module sends them (sound/modSound.h), carried out
// on players of this machine: each alias an MCI device would open is one player. What MCI would refuse
// (an alias opened twice, a command to an alias not open, a file that is not there) does nothing, as the
// program never looks at MCI's answer.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/text.h"

// One player per open alias; made by SoundPlayers::Open and dropped at the alias's close.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Stops where it is and goes back to the first sample.
  virtual void Rewind() = 0;
  // Plays on from where it is; at the end it stays there.
  virtual void Play() = 0;
  virtual void Stop() = 0;
};

// A command string taken apart.
struct SoundCommand {
  enum Verb { Unknown, Open, Seek, Play, Stop, Close } verb = Unknown;
  Text alias;            // lower case: MCI matches aliases in any case; "all" for every device
  Text file;             // open: the element, quotes removed
  bool toStart = false;  // seek ... to start
};

SoundCommand ParseSoundCommand(const Text& command);

// Whether a file's first bytes are those of a RIFF/WAVE file: the waveaudio device opens nothing else, so
// neither does a player here, though it could play more.
bool IsWaveHead(const std::string& head);

class SoundChannels {
 public:
  // `open` makes a player of a file of this machine (empty: the name found nothing), or nothing when it
  // cannot play it. `find` finds the host file a command names.
  SoundChannels(std::function<std::unique_ptr<SoundPlayer>(const std::string& file)> open,
                std::function<std::string(const Text& name)> find)
      : open_(std::move(open)), find_(std::move(find)) {}

  void Send(const Text& command);
  bool IsOpen(const Text& alias) const;

 private:
  std::function<std::unique_ptr<SoundPlayer>(const std::string&)> open_;
  std::function<std::string(const Text&)> find_;
  std::map<Text, std::unique_ptr<SoundPlayer>> players_;
};
