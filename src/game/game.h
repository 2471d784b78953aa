#pragma once

// The title menu: draws the title screen and acts on the letter read.
// Returns only when the player quits, after the farewell screen.
void MainMenu();

// The flows behind "N" and "C" on the title menu.
void NewGame();
void ContinueGame();
