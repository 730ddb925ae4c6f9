// The software page's list filled with a whole catalogue, timed. The page's own fill
// (SoftwarePage::RefillList and ShowRows) is private to the window, so it is done here the same
// way from the same public pieces, in a real window with a real list view made as the page makes
// it: the engine lists the catalogue through slot 1, each line handed to the window with
// SendMessage as the window's callbacks do; the rows are shown with the page's own helpers
// (ShownEntries and FillCatalogueRows, the cells answered by AnswerCatalogueCell), with drawing
// held off; then the installed marks are read by the page's InstalledMarksReader and shown when
// its message comes. The fill runs as one message of the window's loop, while another thread
// keeps sending the window empty messages: the longest wait for an answer, from the fill's start
// to the marks shown, is the longest time the loop is blocked.
#pragma once

#include <string>

class TQX;

struct ListFillTimes {
    double list_ms = 0;        // ClearSoftwareList + ListSoftware, the lines handed over and made entries
    double rows_ms = 0;        // ShownEntries and the rows into the list view
    double fill_ms = 0;        // the two together, as the page's RefillList on the window's thread
    double paint_ms = 0;       // the first paint of the filled list (UpdateWindow)
    double marks_ms = 0;       // from the read's start to the marks shown, off the window's thread
    double longest_block_ms = 0;  // the longest the message loop did not answer, the paint included
    int rows = 0;
};

// One fill of the type's whole catalogue ("All", "All"). The window is made on the first call and
// kept: later calls refill its list as a change of filter does, the rows before removed first.
// False when no window could be made.
bool TimeListFill(TQX& engine, const std::string& type, ListFillTimes& times);
