#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/gtk/sound_commands.h"

namespace {

// Players that write down what they are told, in the order told.
class Recorder {
 public:
  std::vector<std::string> log;

  SoundChannels Channels() {
    return SoundChannels(
        [this](const std::string& file) {
          log.push_back("new " + file);
          return std::unique_ptr<SoundPlayer>(new Player(this, file));
        },
        [this](const Text& name) {
          std::string file = ToUtf8(name);
          return missing.count(file) ? std::string() : "/disc/" + file.substr(3);
        });
  }
  std::set<std::string> missing;

 private:
  class Player : public SoundPlayer {
   public:
    Player(Recorder* recorder, std::string file) : recorder_(recorder), file_(std::move(file)) {}
    ~Player() override { recorder_->log.push_back("drop " + file_); }
    void Rewind() override { recorder_->log.push_back("rewind " + file_); }
    void Play() override { recorder_->log.push_back("play " + file_); }
    void Stop() override { recorder_->log.push_back("stop " + file_); }

   private:
    Recorder* recorder_;
    std::string file_;
  };
};

TEST(SoundCommands, TheProgramsCommandsBecomeActionsOfOnePlayerPerAlias) {
  struct Case {
    const char* name;
    std::vector<const wchar_t*> commands;
    std::vector<std::string> expected;
  } cases[] = {
      {"the mouse-over sound, opened at start and played at each hover",
       {L"open \"D:\\sounds\\over.wav\" type waveaudio alias mciMO", L"seek mciMO to start", L"play mciMO",
        L"seek mciMO to start", L"play mciMO"},
       {"new /disc/sounds\\over.wav", "rewind /disc/sounds\\over.wav", "play /disc/sounds\\over.wav",
        "rewind /disc/sounds\\over.wav", "play /disc/sounds\\over.wav"}},
      {"a played sound closes the one before",
       {L"open \"D:\\a.wav\" type waveaudio alias mciExtra", L"play mciExtra", L"close mciExtra",
        L"open \"D:\\b.wav\" type waveaudio alias mciExtra", L"play mciExtra"},
       {"new /disc/a.wav", "play /disc/a.wav", "drop /disc/a.wav", "new /disc/b.wav", "play /disc/b.wav"}},
      {"an alias in use is refused and keeps its sound",
       {L"open \"D:\\a.wav\" alias x", L"open \"D:\\b.wav\" alias x", L"play x"},
       {"new /disc/a.wav", "play /disc/a.wav"}},
      {"aliases match in any case",
       {L"open \"D:\\a.wav\" alias mciBG", L"PLAY MCIbg", L"Stop mcibg"},
       {"new /disc/a.wav", "play /disc/a.wav", "stop /disc/a.wav"}},
      {"a missing file opens nothing, and what is sent to it does nothing",
       {L"open \"D:\\gone.wav\" type waveaudio alias mciMO", L"seek mciMO to start", L"play mciMO",
        L"close mciMO"},
       {}},
      {"commands to an alias never opened, and ones the program never sends, do nothing",
       {L"play nothing", L"close nothing", L"open \"D:\\a.wav\" alias x", L"seek x to end", L"play x from 0",
        L"open", L"play"},
       {"new /disc/a.wav"}},
      {"close all drops every player",
       {L"open \"D:\\a.wav\" alias x", L"open D:\\b.wav alias y", L"close all", L"play x"},
       {"new /disc/a.wav", "new /disc/b.wav", "drop /disc/a.wav", "drop /disc/b.wav"}},
      {"a name with blanks stays whole in its quotes",
       {L"open \"D:\\my sounds\\a b.wav\" type waveaudio alias s", L"play s"},
       {"new /disc/my sounds\\a b.wav", "play /disc/my sounds\\a b.wav"}},
  };
  for (const Case& c : cases) {
    Recorder recorder;
    recorder.missing.insert("D:\\gone.wav");
    {
      SoundChannels channels = recorder.Channels();
      for (const wchar_t* command : c.commands)
        channels.Send(command);
      EXPECT_EQ(recorder.log, c.expected) << c.name;
    }
  }
}

TEST(SoundCommands, ParsesTheElementAndAliasOfAnOpen) {
  SoundCommand open = ParseSoundCommand(L"open \"D:\\Sounds\\Over.wav\" type waveaudio alias mciMO");
  EXPECT_EQ(open.verb, SoundCommand::Open);
  EXPECT_EQ(open.file, L"D:\\Sounds\\Over.wav");
  EXPECT_EQ(open.alias, L"mcimo");
  // Without an alias the device is known by its element.
  SoundCommand bare = ParseSoundCommand(L"open D:\\x.wav");
  EXPECT_EQ(bare.alias, L"d:\\x.wav");
}

TEST(SoundCommands, OnlyWaveFilesOpen) {
  EXPECT_TRUE(IsWaveHead(std::string("RIFF\x24\0\0\0WAVEfmt ", 16)));
  EXPECT_FALSE(IsWaveHead(std::string("RIFF\x24\0\0\0AVI LIST", 16)));
  EXPECT_FALSE(IsWaveHead("ID3\x04\0\0\0\0\0\0\0\0"));
  EXPECT_FALSE(IsWaveHead("RIFF"));
}

}  // namespace
