// Search on the Data Map menu: the dialog's three modes and the result window.
#include "app/kvrmain.h"
#include "search/results.h"
#include "search/search.h"
#include "search/searchform.h"
#include "search/searchpattern.h"
#include "search/srres.h"
#include "text/dataf.h"

#include <QAction>
#include <QLineEdit>
#include <QRadioButton>

namespace {
void findNext(Workbench& wb, QWidget* parent, const std::vector<std::uint8_t>& pattern, int interval)
{
    const SharedState& s = wb.state;
    // The search starts after the data position, not after the selection.
    const std::optional<std::size_t> hit = findForward(s.rom, s.dataPosition, pattern, interval);
    if (!hit) {
        wb.dialogs().showMessage(parent, wb.text("NotFound"));
        return;
    }
    wb.forms.dataForm->showSearchHit(static_cast<std::int64_t>(*hit));
}
} // namespace

void TQuarnTileMapper::SearchItemClick()
{
    TSearchForm& form = *wb_.forms.searchForm;
    if (!form.execute())
        return;
    const int interval = form.interval();
    if (form.f1->isChecked()) {
        if (!form.hexfed->text().isEmpty())
            findNext(wb_, this, hexPattern(form.hexfed->text().toStdString()), interval);
    } else if (form.f2->isChecked()) {
        // A letter the code page cannot hold has no code to keep a distance
        // to: searching for a stand-in would list made-up hits.
        const QString word = form.tfed->text();
        if (const std::optional<qsizetype> notHeld = wb_.codePage.firstCharacterNotHeld(word)) {
            showError(wb_.text("WordOutsideCodePage")
                          .arg(wb_.codePage.name(), word.mid(*notHeld, 1), QString::number(*notHeld + 1)));
            return;
        }
        relativeSearchFor(wb_.codePage.fromUnicode(word), interval);
    } else if (form.f3->isChecked() && !form.ntsed->text().isEmpty()) {
        const QString typed = form.ntsed->text();
        const TextPattern pattern =
            tableTextPattern(wb_.state.tableMatcher, typed.toStdString(), characterOrientedCounting());
        if (pattern.characterWithoutCode) {
            const QList<uint> characters = typed.toUcs4();
            const QString ch = QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()) +
                                                     *pattern.characterWithoutCode, 1);
            showError(wb_.text("NoCodeForCharacter").arg(ch));
            return;
        }
        // A text that gives no byte at all is found nowhere.
        if (pattern.bytes.empty())
            showError(wb_.text("NotFound"));
        else
            findNext(wb_, this, pattern.bytes, interval);
    }
}

void TQuarnTileMapper::relativeSearchFor(const std::string& word, int interval)
{
    if (word.size() < 2)
        return;
    const RelativeSearchResult result = relativeSearch(wb_.state.rom, word, interval);
    if (result.wordTooLong) {
        showError(wb_.text("RelativeWordTooLong")
                      .arg(kLongestRelativeWord)
                      .arg(word.size()));
        return;
    }
    std::vector<std::string> lines;
    lines.reserve(result.hits.size());
    for (const std::size_t hit : result.hits)
        lines.push_back(resultLine(wb_.state.rom, hit, word));
    wb_.forms.searchResForm->showResults(std::move(lines));
}

void TQuarnTileMapper::N25Click()
{
    wb_.forms.searchResForm->showWindow();
}
