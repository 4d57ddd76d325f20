#pragma once
// The start-up warning about codec files that could not be used.
#include <QStringList>

class QWidget;
class Workbench;

// One message listing every problem, "FILE: line N: ...", under the
// language's heading; nothing when there is none.
void warnOfSkippedCodecFiles(Workbench& wb, QWidget* parent, const QStringList& problems);
