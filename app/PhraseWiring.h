#pragma once
#include <QString>
#include <functional>

class TForm1;

// Connects the record fields of the main window to the phrase library: the nine field
// double-clicks that open a phrase file, the phrase chosen in the template editor,
// the keys of the seven memos, and the differential-diagnosis box.
// openBuilder shows the builder window of the given class ("TForm3") over the main window.
void connectPhraseLibrary(TForm1 &form, const std::function<void(const QString &builderClass)> &openBuilder);
