#include "sound/modSound.h"

#include "platform/platform.h"

const Text kBackgroundChannel = L"mciBG";
const Text kMouseOverChannel = L"mciMO";
const Text kLinkChannel = L"mciExtra";

void OpenSound(const Text& path, const Text& channel) {
  Sys().mciSendStringA(L"open \"" + path + L"\" type waveaudio alias " + channel);
}

void PlaySound(const Text& channel) {
  Sys().mciSendStringA(L"seek " + channel + L" to start");
  Sys().mciSendStringA(L"play " + channel);
}

void CloseSound(const Text& channel) {
  Sys().mciSendStringA(L"close " + channel);
}
