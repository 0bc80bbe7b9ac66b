<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Board</name>
    <message>
        <source>%1: is a game file, not a position file</source>
        <translation>%1: ist eine Spieldatei, keine Stellungsdatei</translation>
    </message>
    <message>
        <source>Load new Map without saving changes?</source>
        <translation>Neue Karte laden, ohne die Änderungen zu speichern?</translation>
    </message>
    <message>
        <source>The moved label points are not exported yet (key S). Load new Map without exporting them?</source>
        <translation>Die verschobenen Beschriftungspunkte sind noch nicht exportiert (Taste S). Neue Karte laden, ohne sie zu exportieren?</translation>
    </message>
    <message>
        <source>Exit Marrowind</source>
        <translation>Marrowind beenden</translation>
    </message>
    <message>
        <source>A .MAP file names no map: this position of the map %1 would open on the map %2. Save it as .MAP all the same?</source>
        <translation>Eine .MAP-Datei nennt keine Karte: Diese Stellung der Karte %1 würde auf der Karte %2 geöffnet. Trotzdem als .MAP speichern?</translation>
    </message>
    <message>
        <source>Save position</source>
        <translation>Stellung speichern</translation>
    </message>
    <message>
        <source>%1 holds no position. Replace it with this position?</source>
        <translation>%1 enthält keine Stellung. Durch diese Stellung ersetzen?</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 gespeichert</translation>
    </message>
    <message>
        <source>Leave the moves on the board and show turn %1?</source>
        <translation>Die Züge auf dem Brett aufgeben und Zug %1 zeigen?</translation>
    </message>
    <message>
        <source>Show Turn %1</source>
        <translation>Zug %1 zeigen</translation>
    </message>
    <message>
        <source>The moved label points are not exported yet (key S). Show turn %1 without exporting them?</source>
        <translation>Die verschobenen Beschriftungspunkte sind noch nicht exportiert (Taste S). Zug %1 zeigen, ohne sie zu exportieren?</translation>
    </message>
</context>
<context>
    <name>Desk</name>
    <message>
        <source>The language changes when Marrowind starts again</source>
        <translation>Die Sprache wechselt beim nächsten Start von Marrowind</translation>
    </message>
    <message>
        <source>%1 is gone</source>
        <translation>%1 gibt es nicht mehr</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>Open File</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>Compare With</source>
        <translation>Vergleichen mit</translation>
    </message>
    <message>
        <source>Record Turn</source>
        <translation>Zug aufzeichnen</translation>
    </message>
    <message>
        <source>Open Game</source>
        <translation>Spiel öffnen</translation>
    </message>
    <message>
        <source>Marrowind game (*.mwgame)</source>
        <translation>Marrowind-Spiel (*.mwgame)</translation>
    </message>
    <message>
        <source>A note on this turn (optional)</source>
        <translation>Eine Notiz zu diesem Zug (freiwillig)</translation>
    </message>
    <message>
        <source>&amp;Label:</source>
        <translation>&amp;Bezeichnung:</translation>
    </message>
    <message>
        <source>&amp;Note:</source>
        <translation>&amp;Notiz:</translation>
    </message>
    <message>
        <source>&amp;Turn of %1 (1 to %2):</source>
        <translation>&amp;Zug von %1 (1 bis %2):</translation>
    </message>
    <message>
        <source>Save as ...</source>
        <translation>Speichern unter ...</translation>
    </message>
    <message>
        <source>LIst Units</source>
        <translation>Einheiten auflisten</translation>
    </message>
    <message>
        <source>Units</source>
        <translation>Einheiten</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Income of %1</source>
        <translation>Einkommen von %1</translation>
    </message>
    <message>
        <source>Income by sector</source>
        <translation>Einkommen nach Sektor</translation>
    </message>
    <message>
        <source>Sector</source>
        <translation>Sektor</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Summe</translation>
    </message>
    <message>
        <source>Check Map - %1</source>
        <translation>Karte prüfen - %1</translation>
    </message>
    <message>
        <source>Findings</source>
        <translation>Befunde</translation>
    </message>
    <message>
        <source>Choose it to mark %1,%2 on the map</source>
        <translation>Auswählen, um %1,%2 auf der Karte zu markieren</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>Änderungen</translation>
    </message>
    <message>
        <source>Nothing changed since %1.</source>
        <translation>Nichts geändert seit %1.</translation>
    </message>
    <message>
        <source>Changed since %1:</source>
        <translation>Geändert seit %1:</translation>
    </message>
    <message>
        <source>Double-click to show it on the map</source>
        <translation>Doppelklick zeigt es auf der Karte</translation>
    </message>
    <message>
        <source>About CorvaneMap</source>
        <translation>Über CorvaneMap</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;Save As ...</source>
        <translation>&amp;Speichern unter ...</translation>
    </message>
    <message>
        <source>&amp;Save to %1</source>
        <translation>In %1 &amp;speichern</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Keep for Later</source>
        <translation>Für &amp;später behalten</translation>
    </message>
    <message>
        <source>&amp;Discard This Copy</source>
        <translation>Diese Kopie &amp;verwerfen</translation>
    </message>
</context>
<context>
    <name>Editing</name>
    <message>
        <source>Pick a piece in the ToolBar, then click the map to place it; drag stacks to move them</source>
        <translation>Eine Figur in der Werkzeugleiste wählen, dann auf die Karte klicken, um sie zu setzen; Stapel ziehen, um sie zu bewegen</translation>
    </message>
    <message>
        <source>Wrote %1 into %2</source>
        <translation>%1 in %2 geschrieben</translation>
    </message>
    <message>
        <source>Undone: %1</source>
        <translation>Rückgängig gemacht: %1</translation>
    </message>
    <message>
        <source>Nothing left to undo of: %1</source>
        <translation>Nichts mehr rückgängig zu machen von: %1</translation>
    </message>
    <message>
        <source>Redone: %1</source>
        <translation>Wiederholt: %1</translation>
    </message>
    <message>
        <source>Wrote %1 into %2: the map is installed for everyone</source>
        <translation>%1 nach %2 geschrieben: die Karte ist für alle installiert</translation>
    </message>
</context>
<context>
    <name>Failure</name>
    <message>
        <source>Could not open %1: %2</source>
        <translation>%1 konnte nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>Could not save %1: %2</source>
        <translation>%1 konnte nicht gespeichert werden: %2</translation>
    </message>
    <message>
        <source>The position could not be saved to %1.
%2</source>
        <translation>Die Stellung konnte nicht in %1 gespeichert werden.
%2</translation>
    </message>
    <message>
        <source>Could not write %1 into %2: %3</source>
        <translation>%1 konnte nicht in %2 geschrieben werden: %3</translation>
    </message>
    <message>
        <source>%1 could not be written into %2.
%3</source>
        <translation>%1 konnte nicht in %2 geschrieben werden.
%3</translation>
    </message>
    <message>
        <source>Could not open the game: %1</source>
        <translation>Das Spiel konnte nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>%1 could not be opened; the start position is on the board.
%2</source>
        <translation>%1 konnte nicht geöffnet werden; die Startstellung steht auf dem Brett.
%2</translation>
    </message>
    <message>
        <source>Could not record the turn: %1</source>
        <translation>Der Zug konnte nicht aufgezeichnet werden: %1</translation>
    </message>
    <message>
        <source>The turn was not recorded in %1.
%2</source>
        <translation>Der Zug wurde nicht in %1 aufgezeichnet.
%2</translation>
    </message>
    <message>
        <source>Could not take the turns: %1</source>
        <translation>Die Züge konnten nicht übernommen werden: %1</translation>
    </message>
    <message>
        <source>No turn was taken into %1.
%2</source>
        <translation>Kein Zug wurde in %1 übernommen.
%2</translation>
    </message>
    <message>
        <source>Could not load the turn: %1</source>
        <translation>Der Zug konnte nicht geladen werden: %1</translation>
    </message>
    <message>
        <source>Could not change the turn: %1</source>
        <translation>Der Zug konnte nicht geändert werden: %1</translation>
    </message>
    <message>
        <source>The turn was not changed in %1.
%2</source>
        <translation>Der Zug wurde in %1 nicht geändert.
%2</translation>
    </message>
    <message>
        <source>Could not compare: %1</source>
        <translation>Vergleich nicht möglich: %1</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Find a sector by its name</source>
        <translation>Einen Sektor nach seinem Namen suchen</translation>
    </message>
    <message>
        <source>Find sector</source>
        <translation>Sektor suchen</translation>
    </message>
    <message>
        <source>Sectors found</source>
        <translation>Gefundene Sektoren</translation>
    </message>
</context>
<context>
    <name>GameWindows</name>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>Turns</source>
        <translation>Züge</translation>
    </message>
    <message>
        <source>&amp;Edit Label and Note ...</source>
        <translation>Bezeichnung und Notiz &amp;bearbeiten ...</translation>
    </message>
    <message>
        <source>&amp;Trends ...</source>
        <translation>&amp;Trends ...</translation>
    </message>
    <message>
        <source>No game yet: record a turn (Ctrl+T) or open a game.</source>
        <translation>Noch kein Spiel: einen Zug aufzeichnen (Strg+T) oder ein Spiel öffnen.</translation>
    </message>
    <message>
        <source>%1: %2 turns</source>
        <translation>%1: %2 Züge</translation>
    </message>
    <message>
        <source>Turn</source>
        <translation>Zug</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>Bezeichnung</translation>
    </message>
    <message>
        <source>Recorded</source>
        <translation>Aufgezeichnet</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>Trends</source>
        <translation>Trends</translation>
    </message>
    <message>
        <source>The same figures stand turn by turn in the History window; Save as CSV writes them</source>
        <translation>Dieselben Zahlen stehen Zug für Zug im Fenster Verlauf; „Als CSV speichern“ schreibt sie</translation>
    </message>
    <message>
        <source>Figure charted</source>
        <translation>Dargestellte Größe</translation>
    </message>
    <message>
        <source>Save as PNG</source>
        <translation>Als PNG speichern</translation>
    </message>
    <message>
        <source>Save as CSV</source>
        <translation>Als CSV speichern</translation>
    </message>
    <message>
        <source>&amp;Show:</source>
        <translation>&amp;Zeigen:</translation>
    </message>
    <message>
        <source>%1 of every country, %2</source>
        <translation>%1 aller Staaten, %2</translation>
    </message>
    <message>
        <source>Country </source>
        <translation>Staat </translation>
    </message>
    <message>
        <source>%1, turn %2 &quot;%3&quot;: %4 %5</source>
        <translation>%1, Zug %2 „%3“: %4 %5</translation>
    </message>
    <message>
        <source>PNG picture (*.png)</source>
        <translation>PNG-Bild (*.png)</translation>
    </message>
    <message>
        <source>CSV table (*.csv)</source>
        <translation>CSV-Tabelle (*.csv)</translation>
    </message>
    <message>
        <source>Figures of</source>
        <translation>Zahlen von</translation>
    </message>
    <message>
        <source>&amp;Figures of:</source>
        <translation>&amp;Zahlen von:</translation>
    </message>
    <message>
        <source>Every country&apos;s Sum</source>
        <translation>Sum jedes Staates</translation>
    </message>
    <message>
        <source>Moves</source>
        <translation>Bewegungen</translation>
    </message>
    <message>
        <source>Turn %1 was recorded without its moves.</source>
        <translation>Zug %1 wurde ohne seine Bewegungen aufgezeichnet.</translation>
    </message>
    <message>
        <source>Moves of turn %1: %2</source>
        <translation>Bewegungen von Zug %1: %2</translation>
    </message>
    <message>
        <source>Pace</source>
        <translation>Tempo</translation>
    </message>
    <message>
        <source>a move every %1 s</source>
        <translation>eine Bewegung alle %1 s</translation>
    </message>
    <message>
        <source>&amp;Leave Replay</source>
        <translation>Wiedergabe &amp;beenden</translation>
    </message>
    <message>
        <source>&amp;Replay Moves</source>
        <translation>Bewegungen &amp;wiedergeben</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>&amp;Abspielen</translation>
    </message>
</context>
<context>
    <name>Games</name>
    <message>
        <source>turn %1</source>
        <translation>Zug %1</translation>
    </message>
    <message>
        <source>turns %1 and %2</source>
        <translation>Züge %1 und %2</translation>
    </message>
    <message>
        <source>turns %1 to %2</source>
        <translation>Züge %1 bis %2</translation>
    </message>
    <message>
        <source>turn %1 &quot;%2&quot;</source>
        <translation>Zug %1 „%2“</translation>
    </message>
    <message>
        <source>%1 – turn %2 of %3</source>
        <translation>%1 – Zug %2 von %3</translation>
    </message>
    <message>
        <source>%1 – 1 turn</source>
        <translation>%1 – 1 Zug</translation>
    </message>
    <message>
        <source>%1 – %2 turns</source>
        <translation>%1 – %2 Züge</translation>
    </message>
    <message>
        <source>turn %1 did.</source>
        <translation>Zug %1 getan hat.</translation>
    </message>
    <message>
        <source>turns %1 to %2 did.</source>
        <translation>die Züge %1 bis %2 getan haben.</translation>
    </message>
    <message>
        <source>The board was made while the game was at turn %1; the game is at turn %2: its file no longer holds the turns after it.</source>
        <translation>Das Brett entstand, als das Spiel bei Zug %1 stand; das Spiel steht bei Zug %2: Seine Datei enthält die Züge danach nicht mehr.</translation>
    </message>
    <message>
        <source>The board was made while the game was at turn %1; the game is at turn %2 now. Recording it may undo what %3</source>
        <translation>Das Brett entstand, als das Spiel bei Zug %1 stand; das Spiel steht jetzt bei Zug %2. Es aufzuzeichnen kann rückgängig machen, was %3</translation>
    </message>
    <message>
        <source>The board was made from %1, which the game file no longer holds; the game is at turn %2.</source>
        <translation>Das Brett entstand aus %1, den die Spieldatei nicht mehr enthält; das Spiel steht bei Zug %2.</translation>
    </message>
    <message>
        <source>The board was made from %1; the game is at turn %2. Recording it undoes what %3</source>
        <translation>Das Brett entstand aus %1; das Spiel steht bei Zug %2. Es aufzuzeichnen macht rückgängig, was %3</translation>
    </message>
    <message>
        <source>%1: a cut position is not recorded as a turn. Save the board to keep what it holds, then record it</source>
        <translation>%1: Eine abgeschnittene Stellung wird nicht als Zug aufgezeichnet. Das Brett speichern, um zu behalten, was es enthält, und dann aufzeichnen</translation>
    </message>
    <message>
        <source>Record Turn</source>
        <translation>Zug aufzeichnen</translation>
    </message>
    <message>
        <source>Record Anyway</source>
        <translation>Trotzdem aufzeichnen</translation>
    </message>
    <message>
        <source>Turn %1</source>
        <translation>Zug %1</translation>
    </message>
    <message>
        <source>Recorded %1 in %2</source>
        <translation>%1 in %2 aufgezeichnet</translation>
    </message>
    <message>
        <source>%1: the game has no turns yet</source>
        <translation>%1: Das Spiel hat noch keine Züge</translation>
    </message>
    <message>
        <source>%1: the game has no turn %2</source>
        <translation>%1: Das Spiel hat keinen Zug %2</translation>
    </message>
    <message>
        <source>Opened the game %1 at %2</source>
        <translation>Spiel %1 bei %2 geöffnet</translation>
    </message>
    <message>
        <source>Nothing to take: %1 holds no turn that %2 lacks</source>
        <translation>Nichts zu übernehmen: %1 enthält keinen Zug, der %2 fehlt</translation>
    </message>
    <message>
        <source>Take %1 of %2?</source>
        <translation>%1 von %2 übernehmen?</translation>
    </message>
    <message>
        <source>Take Turns</source>
        <translation>Züge übernehmen</translation>
    </message>
    <message>
        <source>Took %1 of %2 into %3; %4 is on the board</source>
        <translation>%1 von %2 in %3 übernommen; %4 steht auf dem Brett</translation>
    </message>
    <message>
        <source>Turn %1 &quot;%2&quot; of %3 is on the board</source>
        <translation>Zug %1 „%2“ von %3 steht auf dem Brett</translation>
    </message>
    <message>
        <source>Turn %1 is now &quot;%2&quot;</source>
        <translation>Zug %1 heißt jetzt „%2“</translation>
    </message>
    <message>
        <source>The game file cannot be read now: %1</source>
        <translation>Die Spieldatei kann gerade nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>No game to step through: open one (Open Game ...) or record a turn first</source>
        <translation>Kein Spiel zum Durchblättern: erst eines öffnen (Spiel öffnen ...) oder einen Zug aufzeichnen</translation>
    </message>
    <message>
        <source>The game file %1 is damaged: %2.

The turns that can be read are shown; a copy of the game (Take Turns From) or a backup may hold the rest.</source>
        <translation>Die Spieldatei %1 ist beschädigt: %2.

Die lesbaren Züge werden gezeigt; eine Kopie des Spiels (Züge holen aus) oder eine Sicherung enthält vielleicht den Rest.</translation>
    </message>
</context>
<context>
    <name>History</name>
    <message>
        <source>%1 was replaced by another program: it holds %2 turns now</source>
        <translation>%1 wurde von einem anderen Programm ersetzt: Sie enthält jetzt %2 Züge</translation>
    </message>
    <message>
        <source>%1 was changed by another program: it holds %2 turns now</source>
        <translation>%1 wurde von einem anderen Programm geändert: Sie enthält jetzt %2 Züge</translation>
    </message>
    <message>
        <source>Turn %1 &quot;%2&quot; arrived in %3</source>
        <translation>Zug %1 „%2“ ist in %3 eingetroffen</translation>
    </message>
    <message>
        <source>Turns %1 and %2 &quot;%3&quot; arrived in %4</source>
        <translation>Die Züge %1 und %2 „%3“ sind in %4 eingetroffen</translation>
    </message>
    <message>
        <source>Turns %1 to %2 &quot;%3&quot; arrived in %4</source>
        <translation>Die Züge %1 bis %2 „%3“ sind in %4 eingetroffen</translation>
    </message>
    <message>
        <source>No turns to chart: open a game (Open Game ...) or record a turn first</source>
        <translation>Keine Züge für ein Diagramm: erst ein Spiel öffnen (Spiel öffnen ...) oder einen Zug aufzeichnen</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>%1 (gone)</source>
        <translation>%1 (nicht mehr da)</translation>
    </message>
    <message>
        <source>(none yet)</source>
        <translation>(noch keine)</translation>
    </message>
    <message>
        <source>Map</source>
        <translation>Karte</translation>
    </message>
    <message>
        <source>Map: </source>
        <translation>Karte: </translation>
    </message>
    <message>
        <source>Arrow keys move the crosshair, with Shift by one pixel; PageDown and PageUp choose a piece, with Ctrl a country; Enter places, picks up and drops; Delete removes; Ctrl+F finds a sector</source>
        <translation>Pfeiltasten bewegen das Fadenkreuz, mit Umschalt um ein Pixel; Bild ab und Bild auf wählen eine Figur, mit Strg einen Staat; Eingabe setzt, nimmt auf und legt ab; Entf entfernt; Strg+F sucht einen Sektor</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Öffnen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>S&amp;ave as ...</source>
        <translation>Speichern &amp;unter ...</translation>
    </message>
    <message>
        <source>&amp;About ...</source>
        <translation>Ü&amp;ber ...</translation>
    </message>
    <message>
        <source>&amp;Compare With ...</source>
        <translation>&amp;Vergleichen mit ...</translation>
    </message>
    <message>
        <source>Compare With Saved</source>
        <translation>Mit Gespeichertem vergleichen</translation>
    </message>
    <message>
        <source>Previous Turn</source>
        <translation>Vorheriger Zug</translation>
    </message>
    <message>
        <source>Next Turn</source>
        <translation>Nächster Zug</translation>
    </message>
    <message>
        <source>&amp;Recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>&amp;ToolBar</source>
        <translation>&amp;Werkzeugleiste</translation>
    </message>
    <message>
        <source>&amp;InfoView</source>
        <translation>&amp;Infoansicht</translation>
    </message>
    <message>
        <source>&amp;History</source>
        <translation>&amp;Verlauf</translation>
    </message>
    <message>
        <source>&amp;IPC Values</source>
        <translation>&amp;IPC-Werte</translation>
    </message>
    <message>
        <source>&amp;Names</source>
        <translation>&amp;Namen</translation>
    </message>
    <message>
        <source>&amp;List Units</source>
        <translation>&amp;Einheiten auflisten</translation>
    </message>
    <message>
        <source>&amp;Use BigPieces</source>
        <translation>&amp;Große Figuren verwenden</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Originalgröße</translation>
    </message>
    <message>
        <source>&amp;Check Map ...</source>
        <translation>Karte &amp;prüfen ...</translation>
    </message>
    <message>
        <source>&amp;Trends ...</source>
        <translation>&amp;Trends ...</translation>
    </message>
    <message>
        <source>&amp;Reload Map</source>
        <translation>Karte neu &amp;laden</translation>
    </message>
    <message>
        <source>&amp;Show Sectors</source>
        <translation>&amp;Sektoren zeigen</translation>
    </message>
    <message>
        <source>&amp;Grab to Scroll</source>
        <translation>Karte mit der &amp;Maus ziehen</translation>
    </message>
    <message>
        <source>&amp;Find Sector ...</source>
        <translation>Sektor &amp;finden ...</translation>
    </message>
    <message>
        <source>L&amp;anguage</source>
        <translation>Sp&amp;rache</translation>
    </message>
    <message>
        <source>Desktop&apos;s &amp;Language</source>
        <translation>&amp;Sprache der Arbeitsumgebung</translation>
    </message>
    <message>
        <source>&amp;UNDO</source>
        <translation>&amp;RÜCKGÄNGIG</translation>
    </message>
    <message>
        <source>&amp;REDO</source>
        <translation>&amp;WIEDERHOLEN</translation>
    </message>
    <message>
        <source>&amp;DEL</source>
        <translation>&amp;ENTF</translation>
    </message>
    <message>
        <source>ESC</source>
        <translation>ESC</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Windows</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>Remove &amp;Missing Files</source>
        <translation>Fehlende Dateien &amp;entfernen</translation>
    </message>
    <message>
        <source>Previous Move</source>
        <translation>Vorige Bewegung</translation>
    </message>
    <message>
        <source>Next Move</source>
        <translation>Nächste Bewegung</translation>
    </message>
    <message>
        <source>Record &amp;Turn</source>
        <translation>Zug &amp;aufzeichnen</translation>
    </message>
    <message>
        <source>Open &amp;Game ...</source>
        <translation>Spiel ö&amp;ffnen ...</translation>
    </message>
    <message>
        <source>Ta&amp;ke Turns From ...</source>
        <translation>Züge &amp;holen aus ...</translation>
    </message>
    <message>
        <source>Re&amp;play Moves</source>
        <translation>Bewegungen &amp;wiedergeben</translation>
    </message>
    <message>
        <source>Pieces Follow &amp;Zoom</source>
        <translation>Figuren folgen dem &amp;Zoom</translation>
    </message>
</context>
<context>
    <name>Overlays</name>
    <message>
        <source>the board</source>
        <translation>das Brett</translation>
    </message>
    <message>
        <source>%1 turn %2 &quot;%3&quot;</source>
        <translation>%1 Zug %2 „%3“</translation>
    </message>
    <message>
        <source>Compare With</source>
        <translation>Vergleichen mit</translation>
    </message>
    <message>
        <source>Nothing to compare: the board has no unsaved changes to a position file</source>
        <translation>Nichts zu vergleichen: Das Brett hat keine ungespeicherten Änderungen an einer Stellungsdatei</translation>
    </message>
    <message>
        <source>held by nobody, %1 %2</source>
        <translation>von niemandem gehalten, %1 %2</translation>
    </message>
    <message>
        <source>held by nobody</source>
        <translation>von niemandem gehalten</translation>
    </message>
    <message>
        <source>held by %1, %2 %3</source>
        <translation>gehalten von %1, %2 %3</translation>
    </message>
    <message>
        <source>held by %1</source>
        <translation>gehalten von %1</translation>
    </message>
    <message>
        <source>The moved label points are not exported yet (key S). Reload the map without exporting them?</source>
        <translation>Die verschobenen Beschriftungspunkte sind noch nicht exportiert (Taste S). Die Karte neu laden, ohne sie zu exportieren?</translation>
    </message>
    <message>
        <source>Reloaded the map %1: the check finds nothing</source>
        <translation>Karte %1 neu geladen: Die Prüfung findet nichts</translation>
    </message>
    <message>
        <source>Reloaded the map %1: 1 finding, %2 new</source>
        <translation>Karte %1 neu geladen: 1 Befund, %2 neu</translation>
    </message>
    <message>
        <source>Reloaded the map %1: %2 findings, %3 new</source>
        <translation>Karte %1 neu geladen: %2 Befunde, %3 neu</translation>
    </message>
</context>
<context>
    <name>Playback</name>
    <message>
        <source>Open a game and choose a turn to replay its moves</source>
        <translation>Öffnen Sie ein Spiel und wählen Sie einen Zug, um seine Bewegungen wiederzugeben</translation>
    </message>
    <message>
        <source>the game has no turn %1</source>
        <translation>das Spiel hat keinen Zug %1</translation>
    </message>
    <message>
        <source>Turn %1 was recorded without its moves: there are none to replay</source>
        <translation>Zug %1 wurde ohne seine Bewegungen aufgezeichnet: es gibt keine wiederzugeben</translation>
    </message>
    <message>
        <source>Turn %1 has no moves: its position is that of turn %2</source>
        <translation>Zug %1 hat keine Bewegungen: seine Stellung ist die von Zug %2</translation>
    </message>
    <message>
        <source>Move %1 of turn %2 cannot be made on this board (%3): the moves do not lead to the turn as recorded</source>
        <translation>Bewegung %1 von Zug %2 lässt sich auf diesem Brett nicht ausführen (%3): die Bewegungen führen nicht zum aufgezeichneten Zug</translation>
    </message>
    <message>
        <source>Turn %1, before the %2 moves of turn %3: Ctrl+Alt+Right the next move, Space plays, Esc leaves</source>
        <translation>Zug %1, vor den %2 Bewegungen von Zug %3: Strg+Alt+Rechts die nächste Bewegung, Leertaste spielt ab, Esc beendet</translation>
    </message>
    <message>
        <source>Move %1 of %2 of turn %3: %4</source>
        <translation>Bewegung %1 von %2 in Zug %3: %4</translation>
    </message>
    <message>
        <source> (the board is turn %1 as recorded)</source>
        <translation> (das Brett ist Zug %1 wie aufgezeichnet)</translation>
    </message>
    <message>
        <source> (but the board differs from turn %1 as recorded: the moves do not lead to it)</source>
        <translation> (aber das Brett weicht vom aufgezeichneten Zug %1 ab: die Bewegungen führen nicht zu ihm)</translation>
    </message>
    <message>
        <source>Turn %1 as recorded</source>
        <translation>Zug %1 wie aufgezeichnet</translation>
    </message>
    <message>
        <source>The board shows the moves of turn %1 replayed and cannot be changed: Esc leaves</source>
        <translation>Das Brett zeigt die Wiedergabe der Bewegungen von Zug %1 und kann nicht geändert werden: Esc beendet</translation>
    </message>
</context>
<context>
    <name>Recovery</name>
    <message>
        <source>cannot make %1: %2</source>
        <translation>%1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>cannot look at %1: %2</source>
        <translation>%1 kann nicht untersucht werden: %2</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 ist kein Ordner</translation>
    </message>
    <message>
        <source>%1 belongs to another user</source>
        <translation>%1 gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>%1 may be read by others (mode %2)</source>
        <translation>%1 kann von anderen gelesen werden (Modus %2)</translation>
    </message>
    <message>
        <source>cannot write into %1: %2</source>
        <translation>in %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>cannot lock %1: %2</source>
        <translation>%1 kann nicht gesperrt werden: %2</translation>
    </message>
    <message>
        <source>an unknown map</source>
        <translation>einer unbekannten Karte</translation>
    </message>
    <message>
        <source>the map %1</source>
        <translation>der Karte %1</translation>
    </message>
    <message>
        <source>a position never saved</source>
        <translation>eine nie gespeicherte Stellung</translation>
    </message>
    <message>
        <source>the position file %1</source>
        <translation>die Stellungsdatei %1</translation>
    </message>
    <message>
        <source>Restore the unsaved position of %1 (%2) from %3?</source>
        <translation>Die ungespeicherte Stellung %1 (%2) vom %3 wiederherstellen?</translation>
    </message>
    <message>
        <source>Restore position</source>
        <translation>Stellung wiederherstellen</translation>
    </message>
    <message>
        <source>1 more unsaved position waits in %1; it is offered at the next start</source>
        <translation>Eine weitere ungespeicherte Stellung wartet in %1; sie wird beim nächsten Start angeboten</translation>
    </message>
    <message>
        <source>%1 more unsaved positions wait in %2; they are offered at the next start</source>
        <translation>%1 weitere ungespeicherte Stellungen warten in %2; sie werden beim nächsten Start angeboten</translation>
    </message>
    <message>
        <source>Unsaved work is not being protected: %1</source>
        <translation>Ungespeicherte Arbeit wird nicht geschützt: %1</translation>
    </message>
    <message>
        <source>Unsaved work is protected again</source>
        <translation>Ungespeicherte Arbeit wird wieder geschützt</translation>
    </message>
    <message>
        <source>Unsaved work is not being protected: the recovery copy could not be written: %1</source>
        <translation>Ungespeicherte Arbeit wird nicht geschützt: Die Sicherungskopie konnte nicht geschrieben werden: %1</translation>
    </message>
</context>
<context>
    <name>ToolWindows</name>
    <message>
        <source>ToolBar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>The pieces of every country: choose one, then place it on the map</source>
        <translation>Die Figuren aller Staaten: eine wählen und dann auf die Karte setzen</translation>
    </message>
    <message>
        <source>InfoView</source>
        <translation>Infoansicht</translation>
    </message>
    <message>
        <source>Each country&apos;s income and strength; a click on a column shows where its income comes from</source>
        <translation>Einkommen und Stärke jedes Staates; ein Klick auf eine Spalte zeigt, woher sein Einkommen kommt</translation>
    </message>
</context>
<context>
    <name>Viewer</name>
    <message>
        <source>Exit Marrowind without saving changes?</source>
        <translation>Marrowind beenden, ohne die Änderungen zu speichern?</translation>
    </message>
    <message>
        <source>The moved label points are not exported yet (key S). Exit without exporting them?</source>
        <translation>Die verschobenen Beschriftungspunkte sind noch nicht exportiert (Taste S). Beenden, ohne sie zu exportieren?</translation>
    </message>
    <message>
        <source>Opened %1</source>
        <translation>%1 geöffnet</translation>
    </message>
    <message>
        <source>Opened %1, turn %2 of the game</source>
        <translation>%1 geöffnet, Zug %2 des Spiels</translation>
    </message>
    <message>
        <source>Another program cut the sector grid of the map %1 short while it is shown: the cells it lost read as no sector, and the sectors and totals shown no longer hold.

Save the position, then reload the map.</source>
        <translation>Ein anderes Programm hat das Sektorraster der Karte %1 gekürzt, während sie angezeigt wird: Die verlorenen Zellen gelten als kein Sektor, und die gezeigten Sektoren und Summen stimmen nicht mehr.

Speichern Sie die Stellung und laden Sie dann die Karte neu.</translation>
    </message>
</context>
<context>
    <name>Words</name>
    <message>
        <source>piece %1</source>
        <translation>Figur %1</translation>
    </message>
    <message>
        <source>Placing %1 of %2</source>
        <translation>Setzt %1 von %2</translation>
    </message>
    <message>
        <source>Carrying %1 %2 of %3</source>
        <translation>Trägt %1 %2 von %3</translation>
    </message>
    <message>
        <source>Removing pieces</source>
        <translation>Entfernt Figuren</translation>
    </message>
    <message>
        <source>Moving income labels</source>
        <translation>Verschiebt Einkommensbeschriftungen</translation>
    </message>
    <message>
        <source>%1: held by nobody</source>
        <translation>%1: von niemandem gehalten</translation>
    </message>
    <message>
        <source>%1: %2, %3 %4</source>
        <translation>%1: %2, %3 %4</translation>
    </message>
    <message>
        <source>%1: %2, no income</source>
        <translation>%1: %2, kein Einkommen</translation>
    </message>
    <message>
        <source>Area: %1</source>
        <translation>Gebiet: %1</translation>
    </message>
    <message>
        <source>%1 %2 of %3</source>
        <translation>%1 %2 von %3</translation>
    </message>
    <message>
        <source>land</source>
        <translation>Land</translation>
    </message>
    <message>
        <source>naval</source>
        <translation>See</translation>
    </message>
    <message>
        <source>neither land nor naval</source>
        <translation>weder Land noch See</translation>
    </message>
    <message>
        <source>%1, value %2, %3; %4</source>
        <translation>%1, Wert %2, %3; %4</translation>
    </message>
    <message>
        <source>(no name)</source>
        <translation>(ohne Namen)</translation>
    </message>
    <message>
        <source>area %1</source>
        <translation>Gebiet %1</translation>
    </message>
    <message>
        <source>%1 moved from %2 to %3</source>
        <translation>%1 von %2 nach %3 gezogen</translation>
    </message>
    <message>
        <source>%1 placed in %2</source>
        <translation>%1 in %2 gesetzt</translation>
    </message>
    <message>
        <source>%1 removed from %2</source>
        <translation>%1 aus %2 entfernt</translation>
    </message>
</context>
</TS>
