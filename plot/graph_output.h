#pragma once

// The last drawn picture, pixel for pixel, to the clipboard or the printer.

// Puts a bitmap of the whole picture on the clipboard.
void CopyGraphToClipboard();

// Prints the picture on the owner's printer, each picture pixel as a square block, white left
// blank. positionCode: tens digit 2 portrait, 3 landscape, else by the picture; units digit the
// place on the page (1..9 like a keypad, 0 centred). fraction: share of the page (0 = 0.9).
// With restore, each row is marked inverted on the screen while it prints and the picture is put
// back afterwards. A picture that does not fit or a failing printer is answered with a beep.
void PrintGraph(bool restore, int positionCode, double fraction);
