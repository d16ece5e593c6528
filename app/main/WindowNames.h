#pragma once

class TFormMain;

// Gives the main window's controls that show no text of their own (icon
// buttons, the sort selector, the views, the menus' two-column rows) the
// names a screen reader speaks, and lends the folder tree the analysed
// sizes it tells of its nodes. Changes nothing that is drawn.
void NameWindowControls(TFormMain& form);
