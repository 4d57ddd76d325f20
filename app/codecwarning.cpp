#include "app/codecwarning.h"

#include "app/forms.h"

void warnOfSkippedCodecFiles(Workbench& wb, QWidget* parent, const QStringList& problems)
{
    if (problems.isEmpty())
        return;
    wb.dialogs().showMessage(parent, wb.text("CodecFilesSkipped") + QLatin1Char('\n') +
                                         problems.join(QLatin1Char('\n')));
}
