// The modal script's timer: find the window, run the next step, give up late.
#include "tests/app/modal_script.h"

#include <array>
#include <cstring>
#include <string>

namespace {

constexpr UINT kTickMs = 20;
constexpr int kTicksBeforeForcedEnd = 100;  // two seconds after the last step

struct Script {
  std::string caption;
  std::vector<ModalStep> steps;
  std::size_t next = 0;
  int idleTicks = 0;
  bool forced = false;
  UINT_PTR timer = 0;
};

Script script;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
  const HWND window = FindThreadWindow(script.caption.c_str());
  if (window == nullptr) return;
  if (script.next < script.steps.size()) {
    // Advance first: a step may open a nested modal loop of its own.
    const ModalStep& step = script.steps[script.next++];
    step(window);
    return;
  }
  if (++script.idleTicks >= kTicksBeforeForcedEnd) {
    script.forced = true;
    EndDialog(window, kModalScriptForcedEnd);
  }
}

struct Search {
  const char* caption;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  std::array<char, 256> text{};
  GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  if ((!search->visibleOnly || IsWindowVisible(window)) && std::strcmp(text.data(), search->caption) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectText(HWND window, LPARAM lParam) {
  std::array<char, 512> text{};
  GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  reinterpret_cast<std::vector<std::string>*>(lParam)->emplace_back(text.data());
  return TRUE;
}

}  // namespace

void StartModalScript(const char* caption, std::vector<ModalStep> steps) {
  StopModalScript();
  script.caption = caption;
  script.steps = std::move(steps);
  script.timer = SetTimer(nullptr, 0, kTickMs, OnTick);
}

bool ModalScriptSucceeded() { return script.next == script.steps.size() && !script.forced; }

void StopModalScript() {
  if (script.timer != 0) KillTimer(nullptr, script.timer);
  script = Script{};
}

HWND FindThreadWindow(const char* caption, bool visibleOnly) {
  Search search{caption, visibleOnly, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), MatchCaption, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<std::string> ChildTexts(HWND window) {
  std::vector<std::string> texts;
  EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}
