// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace mw::command {

// The command ids of the main window's menu.
inline constexpr int kOpen = 101, kSave = 102, kSaveAs = 103, kAbout = 104, kToolBar = 105,
                     kInfoView = 106, kIpcValues = 107, kNames = 108, kListUnits = 110, kDel = 111,
                     kEsc = 112, kUseBigPieces = 113, kUndo = 134;
// The commands added since: redo, and the zoom of the "&View" menu.
inline constexpr int kRedo = 135, kZoomIn = 136, kZoomOut = 137, kActualSize = 138, kCheckMap = 139;
// The comparison of the board with a position file, after the items of "&File".
inline constexpr int kCompareWith = 140, kCompareWithSaved = 141;
// The game the board belongs to: a turn recorded into it, a game opened.
inline constexpr int kRecordTurn = 142, kOpenGame = 143;
// Stepping through the game's turns, the History window that lists them and the Trends chart.
inline constexpr int kPreviousTurn = 144, kNextTurn = 145, kHistory = 146, kTrends = 147;
// For the map's author: the package read again in place, and the sectors drawn over the map.
inline constexpr int kReloadMap = 148, kShowSectors = 149;
// What the player chooses for comfort: the right-button drag moving the map along, pieces drawn
// at the zoom.
inline constexpr int kGrabToScroll = 150, kPiecesFollowZoom = 151;
// Ctrl+F: a sector found by its name.
inline constexpr int kFindSector = 152;
// The turns of another copy of the open game taken into it.
inline constexpr int kTakeTurns = 153;
// Ctrl+Q: the main window closed, as its close button closes it (the window runs it).
inline constexpr int kClose = 154;
// "&Language" of "&View": the desktop's language, English or German, from the next start.
inline constexpr int kLanguageDesktop = 155, kLanguageEnglish = 156, kLanguageGerman = 157;
// The moves of the board's turn played back one by one, and stepped through.
inline constexpr int kReplayMoves = 158, kPreviousMove = 159, kNextMove = 160;
// "&Recent": the files opened or saved last, newest first, and the command that forgets those
// that are gone.
inline constexpr int kFirstRecent = 300, kLastRecent = 307, kRemoveMissingRecent = 308;
// Every id from 200 to 299 chooses a map; the catalogue numbers its maps from 201.
inline constexpr int kFirstMap = 200, kFirstCatalogued = 201, kLastMap = 299;

}  // namespace mw::command
