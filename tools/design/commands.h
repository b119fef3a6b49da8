// The designer's commands: menu items and their keys.
#pragma once

enum Command : int {
  kCmdOpen = 100,
  kCmdSave,
  kCmdExit,
  kCmdUndo,
  kCmdRedo,
  kCmdTryMode,
  kCmdNextPage,
  kCmdPreviousPage,
  kCmdFocusPage,
  kCmdFocusPanel,
  kCmdFocusFindings,
  kCmdNextPane,
  kCmdPreviousPane,
  kCmdAddLink,
  kCmdDuplicateLink,
  kCmdDeleteLink,
  kCmdAddPage,
  kCmdDuplicatePage,
  kCmdDeletePage,
  kCmdStartup,
  kCmdRecentFirst = 200,  // one for each recent folder
  kCmdRecentLast = 219,
};

enum ChildId : int { kIdPage = 1, kIdPanel, kIdFindings, kIdStatus };
