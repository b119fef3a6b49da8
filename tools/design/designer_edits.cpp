// The designer's edits beyond moves: the link panel's fields, whole links and pages, and the start-up
// settings. Each is one step of undo.
#include <algorithm>
#include <array>
#include <optional>

#include "platform/controls.h"
#include "tools/design/designer_window.h"
#include "tools/design/link_lines.h"
#include "tools/design/page_edits.h"
#include "tools/design/startup_dialog.h"
#include "tools/design/startup_settings.h"
#include "tools/edit/kavo_editor.h"
#include "tools/edit/menu_editor.h"

bool DesignerWindow::HandleDialogMessage(MSG& message) {
  if (panel_ && panel_->HandleDialogMessage(message)) return true;
  return IsDialogMessageW(hwnd_, &message) != FALSE;
}

std::size_t DesignerWindow::SelectedLine() {
  if (!session_ || page_->Selected() < 0) return kNoLine;
  long stop = runner_.Last().stopLine;
  PageLines lines(session_->Document(ConfigFile::Menu), pageNumber_,
                  stop > 0 ? static_cast<std::size_t>(stop - 1) : kNoLine);
  return lines.LineOf(page_->Selected());
}

void DesignerWindow::WirePanel() {
  panel_->onFieldEdited = [this](MenuField field, const Text& value) { EditFields({{field, value}}); };
  panel_->onFieldsEdited = [this](const FieldEdits& edits) { EditFields(edits); };
  panel_->onAddLink = [this] { AddLinkToPage(); };
  panel_->onDuplicateLink = [this] { DuplicateSelectedLink(); };
  panel_->onDeleteLink = [this] { DeleteSelectedLink(); };
  panel_->onAddPage = [this] { AddNewPage(); };
  panel_->onDuplicatePage = [this] { DuplicateShownPage(); };
  panel_->onDeletePage = [this] { DeleteShownPage(); };
  panel_->onShowPage = [this](int page) { ShowPage(page); };
  panel_->onStartupSettings = [this] { EditStartup(); };
}

void DesignerWindow::ShowPanel() {
  LinkPanelState state;
  if (session_) {
    const TextDocument& menu = session_->Document(ConfigFile::Menu);
    state.discFolder = session_->Folder();
    state.pages = PagesOf(menu);
    if (std::find(state.pages.begin(), state.pages.end(), pageNumber_) == state.pages.end()) {
      state.pages.push_back(pageNumber_);
      std::sort(state.pages.begin(), state.pages.end());
    }
    state.shownPage = pageNumber_;
    state.freeLinkIndexes = PageLines(menu, pageNumber_).FreeLinks();
    std::size_t line = SelectedLine();
    if (line != kNoLine) {
      MenuLineFields fields = MenuEditor(session_->Document(ConfigFile::Menu)).Fields(line);
      MenuLinkValues values;
      for (std::size_t i = 0; i < fields.fields.size() && i < kMenuFieldCount; ++i)
        values[i] = fields.fields[i].value;
      state.link = values;
    }
  }
  panel_->Show(state);
}

void DesignerWindow::EditFields(const FieldEdits& edits) {
  std::size_t line = SelectedLine();
  if (line == kNoLine) return;
  int link = page_->Selected();
  int page = pageNumber_;
  bool edited = ApplyEdit(ConfigFile::Menu, [&](TextDocument& menu) {
    MenuEditor editor(menu);
    TextDocument::Group step(menu);
    for (const auto& edit : edits)
      editor.SetField(line, edit.first, edit.second);
  });
  if (!edited) {
    ShowPanel();  // the panel shows the field as it still is
    return;
  }
  // A new index or page takes the selection along, when the link still shows here.
  for (const auto& edit : edits) {
    if (edit.first == MenuField::Link) link = static_cast<int>(_wtoi(edit.second.c_str()));
    if (edit.first == MenuField::Page) page = -1;
  }
  if (page == pageNumber_ && link >= 0 && link < kLinkCount && lblLink(link).Visible()) page_->Select(link);
  ShowPanel();
}

TwipPoint DesignerWindow::FreeSpot() const {
  TwipPoint spot{600, 600};
  float lowest = -1;
  for (int link : runner_.Last().shown) {
    const TwipRect& r = lblLink(link).Rect();
    if (r.top + r.height > lowest) {
      lowest = r.top + r.height;
      spot = TwipPoint{std::lround(r.left), std::lround(r.top + r.height + 120)};
    }
  }
  return spot;
}

void DesignerWindow::AddLinkToPage() {
  if (!session_) return;
  int added = -1;
  TwipPoint spot = FreeSpot();
  ApplyEdit(ConfigFile::Menu, [&](TextDocument& menu) { added = AddLink(menu, pageNumber_, spot); });
  if (added < 0) {
    Status(L"Page " + std::to_wstring(pageNumber_) + L" has all fifty links already");
    return;
  }
  page_->Select(added);
  Status(L"Added link " + std::to_wstring(added));
}

void DesignerWindow::DuplicateSelectedLink() {
  std::size_t line = SelectedLine();
  if (line == kNoLine) return;
  const TwipRect& r = lblLink(page_->Selected()).Rect();
  TwipPoint spot{std::lround(r.left), std::lround(r.top + r.height + 120)};
  int copy = -1;
  ApplyEdit(ConfigFile::Menu,
            [&](TextDocument& menu) { copy = DuplicateLink(menu, line, pageNumber_, spot); });
  if (copy < 0) {
    Status(L"Page " + std::to_wstring(pageNumber_) + L" has all fifty links already");
    return;
  }
  page_->Select(copy);
  Status(L"Copied as link " + std::to_wstring(copy));
}

void DesignerWindow::DeleteLink(int link) {
  if (link == page_->Selected()) DeleteSelectedLink();
}

void DesignerWindow::DeleteSelectedLink() {
  std::size_t line = SelectedLine();
  if (line == kNoLine) return;
  int link = page_->Selected();
  if (ApplyEdit(ConfigFile::Menu, [&](TextDocument& menu) { ::DeleteLink(menu, line); })) {
    page_->Select(-1);
    Status(L"Deleted link " + std::to_wstring(link) + L" (Ctrl+Z brings it back)");
  }
}

void DesignerWindow::AddNewPage() {
  if (!session_) return;
  int page = -1;
  if (ApplyEdit(ConfigFile::Menu, [&](TextDocument& menu) { page = AddPage(menu); })) ShowPage(page);
}

void DesignerWindow::DuplicateShownPage() {
  if (!session_) return;
  int page = -1;
  if (ApplyEdit(ConfigFile::Menu, [&](TextDocument& menu) { page = DuplicatePage(menu, pageNumber_); }))
    ShowPage(page);
}

void DesignerWindow::DeleteShownPage() {
  if (!session_) return;
  Text question = L"Delete page " + std::to_wstring(pageNumber_) + L" and all its links?";
  if (MessageBoxW(hwnd_, question.c_str(), L"Velmaro Designer", MB_ICONQUESTION | MB_OKCANCEL) != IDOK)
    return;
  if (ApplyEdit(ConfigFile::Menu, [&](TextDocument& menu) { ::DeletePage(menu, pageNumber_); })) {
    std::vector<int> pages = PagesOf(session_->Document(ConfigFile::Menu));
    int next = 0;
    for (int page : pages)
      if (page < pageNumber_) next = page;
    ShowPage(next);
  }
}

void DesignerWindow::EditStartup() {
  if (!session_) return;
  std::array<Text, kKavoLineCount> lines;
  KavoEditor kavo(session_->Document(ConfigFile::Kavo));
  for (int i = 0; i < kKavoLineCount; ++i)
    lines[static_cast<std::size_t>(i)] = kavo.Line(static_cast<KavoLine>(i));
  StartupSettings before = ReadStartupSettings(lines);
  std::optional<StartupSettings> after = EditStartupSettings(hwnd_, session_->Folder(), before);
  if (!after) return;
  auto changed = ChangedStartupLines(before, *after);
  if (changed.empty()) return;
  if (ApplyEdit(ConfigFile::Kavo, [&](TextDocument& document) {
        KavoEditor editor(document);
        TextDocument::Group step(document);
        for (const auto& line : changed)
          editor.SetLine(line.first, line.second);
      }))
    Status(L"Start-up settings changed in kavo.inf");
}
