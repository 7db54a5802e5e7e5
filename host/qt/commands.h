// The command numbers of the frame's menus and of the keys that stand for
// them.
#pragma once

namespace zuna {

enum Command : int {
  kCmdExitReduced = 10,  // "E&xit" of the bar shown while no text window is active
  kCmdExit = 1000,
  kCmdSelectText = 1001,
  kCmdSelectGraphics = 1002,
  kCmdSelectAll = 1003,
  kCmdCopy = 1004,
  kCmdSizeToFit = 1006,
  kCmdFullScreen = 1007,
  kCmdPause = 1008,
  kCmdResume = 1009,
  kCmdCascade = 1010,
  kCmdTile = 1011,
  kCmdArrangeIcons = 1012,
  kCmdStatusBar = 1015,
  kCmdContents = 1016,
  kCmdUsingHelp = 1017,
  kCmdAbout = 1018,
  kCmdPrint = 1019,
  kCmdSave = 1020,
  kCmdPaste = 1021,
  kCmdClearPaste = 1022,
  kCmdInput = 1023,
  // The program's own menu "Cálculo" (app/program-menu.h).
  kCmdRocket = 1100,
  kCmdRocketPlot = 1101,
  kCmdRocketListing = 1102,
};

}  // namespace zuna
