#pragma once
// Answers every dialog of the program at random, from a scratch folder of
// random ROMs and side files: file dialogs with paths in that folder (or
// cancel), input boxes with valid or invalid text, the script and search
// dialogs driven through their widgets. Never the real file system.
#include "app/dialogs.h"
#include "search/searchform.h"
#include "text/crtrd.h"
#include "tiles/palettefile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

// Types text key by key; characters past ASCII go as key events carrying
// their text, as an input method sends them.
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 128)
            QTest::keyClick(widget, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

class RandomSource {
public:
    explicit RandomSource(std::uint64_t seed) : engine_(seed) {}
    // 0 .. n-1
    int below(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(engine_); }
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(engine_) < p; }
    template <typename List>
    auto& pick(List& list) { return list[static_cast<std::size_t>(below(static_cast<int>(std::size(list))))]; }
    std::vector<std::uint8_t> bytes(std::size_t n)
    {
        std::vector<std::uint8_t> out(n);
        // Runs of one value among noise, so the tile map shows shapes and
        // searches find repeated bytes.
        for (std::size_t i = 0; i < n;) {
            const std::size_t run = static_cast<std::size_t>(between(1, 64));
            const auto value = static_cast<std::uint8_t>(below(256));
            const bool noise = chance(0.5);
            for (std::size_t j = 0; j < run && i < n; ++j, ++i)
                out[i] = noise ? static_cast<std::uint8_t>(below(256)) : value;
        }
        return out;
    }
    // Text a user might type into a number or text field: hexadecimal with
    // or without "H", decimal, letters, signs and symbols, or nothing.
    QString text(int maxLength = 12)
    {
        static const QString pools[] = {
            QStringLiteral("0123456789ABCDEFabcdef"), QStringLiteral("0123456789"), QStringLiteral("Hh0123456789AF"),
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz "), QStringLiteral("-+ {}^*/=.,;:!?"),
            QStringLiteral("\u00fc\u00df\u00e9\u041f\u0440\u0438\u20ac")};
        const QString& pool = pick(pools);
        QString out;
        const int length = below(maxLength + 1);
        for (int i = 0; i < length; ++i) {
            const QString& from = chance(0.85) ? pool : pick(pools);
            out += from.at(below(static_cast<int>(from.size())));
        }
        return out;
    }
    // A number as the program reads them: "H" and hex digits or decimal,
    // mostly within `limit`, sometimes past it or malformed.
    QString number(std::int64_t limit)
    {
        const std::int64_t value = chance(0.9) ? std::uniform_int_distribution<std::int64_t>(0, limit)(engine_)
                                               : std::uniform_int_distribution<std::int64_t>(0, 0xFFFFFFFFLL)(engine_);
        switch (below(5)) {
        case 0: return QString::number(value);
        case 1: return text(9);
        default: return (chance(0.5) ? QStringLiteral("H") : QStringLiteral("h")) + QString::number(value, 16);
        }
    }

private:
    std::mt19937_64 engine_;
};

class RandomDialogs final : public Dialogs {
public:
    RandomDialogs(RandomSource& random, QString folder) : random_(random), folder_(std::move(folder)) {}

    int messages = 0;
    int cancels = 0; // file dialogs cancelled
    int modals = 0;
    // The image size, for offsets typed into the script dialog.
    std::int64_t offsetLimit = 0x10000;

    // Random ROMs, tables, palettes, pictures, data map files and dumps.
    void fillFolder()
    {
        QDir().mkpath(folder_);
        const std::size_t romSizes[] = {0, 100, 5000, 16384, 20000, 65536 + 13};
        const char* romNames[] = {"empty.nes", "tiny.gba", "short.gb", "game.nes", "game.bin", "big.smc"};
        for (std::size_t i = 0; i < std::size(romSizes); ++i)
            write(romNames[i], random_.bytes(romSizes[i]));
        write("letters.tbl", text(table(0x41, 'A', 26) + table(0x61, 'a', 26) + "*FF\r\n/00\r\n"));
        write("shifted.tbl", text("H100\r\n" + table(0x80, 'A', 26) + "01=the \r\n02=ing\r\n"));
        write("tiles.tbl", text("H0\r\n00=0102\r\n01=03\r\n41=0405060708\r\nFF=\r\n"));
        write("junk.tbl", random_.bytes(300));
        std::vector<Colour> colours(16);
        for (Colour& c : colours)
            c = static_cast<Colour>(random_.below(1 << 24));
        write("colours.pal", writePaletteText(colours));
        write("colours.act", writePaletteBinary(colours));
        write("junk.pal", random_.bytes(40));
        for (const int side : {16, 128, 256, 512}) {
            QImage picture(side, side / 2, QImage::Format_RGB32);
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    picture.setPixel(x, y, static_cast<QRgb>(random_.below(4)) * 0x404040u);
            picture.save(path(QStringLiteral("picture%1.bmp").arg(side)), "BMP");
        }
        write("junk.bmp", random_.bytes(200));
        std::vector<std::uint8_t> kvr{15, 7};
        const auto cells = random_.bytes(16 * 8);
        kvr.insert(kvr.end(), cells.begin(), cells.end());
        write("cells.kvr", kvr);
        write("junk.kvr", random_.bytes(30));
        write("script.txt", text("ABC abc{^}\r\nHello{END}\r\nthe thing\r\n"));
        write("hits.rss", text("00001234 41\r\nzz\r\n"));
    }

    std::optional<QString> openFileName(QWidget*, const FileDialogOptions& options) override
    {
        if (random_.chance(0.15)) {
            ++cancels;
            return std::nullopt;
        }
        if (random_.chance(0.05))
            return path(QStringLiteral("missing.") + extensionOf(options));
        const QStringList all = files();
        QStringList fitting;
        for (const QString& name : all)
            if (name.endsWith(QLatin1Char('.') + extensionOf(options)))
                fitting << name;
        const QStringList& from = fitting.isEmpty() || random_.chance(0.2) ? all : fitting;
        return path(from.at(random_.below(static_cast<int>(from.size()))));
    }
    std::optional<QString> saveFileName(QWidget*, const FileDialogOptions& options) override
    {
        if (random_.chance(0.2)) {
            ++cancels;
            return std::nullopt;
        }
        if (random_.chance(0.05))
            return path(QStringLiteral("no such folder/saved.") + extensionOf(options));
        if (random_.chance(0.3))
            return openFileName(nullptr, options); // over an existing file
        // A few names only, so saves overwrite each other rather than pile up.
        return path(QStringLiteral("saved%1.%2").arg(random_.below(4)).arg(extensionOf(options)));
    }
    void showMessage(QWidget*, const QString&) override { ++messages; }
    // Told each answer before it is returned, while the image is as asked about.
    std::function<void(SaveChangesAnswer)> onSaveChanges;
    SaveChangesAnswer askSaveChanges(QWidget*, const SaveChangesQuestion&) override
    {
        static const SaveChangesAnswer answers[] = {SaveChangesAnswer::Save, SaveChangesAnswer::Discard,
                                                    SaveChangesAnswer::Cancel};
        const SaveChangesAnswer answer = random_.pick(answers);
        if (onSaveChanges)
            onSaveChanges(answer);
        return answer;
    }
    std::optional<Colour> chooseColour(QWidget*, Colour) override
    {
        if (random_.chance(0.2))
            return std::nullopt;
        return static_cast<Colour>(random_.below(1 << 24));
    }
    std::optional<QString> inputBox(TInputForm&, const InputRequest& request) override
    {
        if (random_.chance(0.15))
            return std::nullopt;
        QString typed = random_.number(offsetLimit);
        // Mostly what the box lets through: its characters, its length.
        if (random_.chance(0.8)) {
            QString allowed;
            for (const QChar ch : typed)
                if (ch.unicode() < 256 && request.allowed.test(ch.unicode()))
                    allowed += ch;
            typed = request.maxLength > 0 ? allowed.left(request.maxLength) : allowed;
        }
        return typed;
    }
    void runModal(QDialog& dialog) override
    {
        ++modals;
        dialog.show();
        if (auto* search = qobject_cast<TSearchForm*>(&dialog))
            driveSearch(*search);
        else if (auto* script = qobject_cast<Tcrtransform*>(&dialog))
            driveScript(*script);
        if (dialog.isVisible())
            dialog.reject(); // the close box
    }

    QString path(const QString& name) const { return folder_ + QLatin1Char('/') + name; }
    QStringList files() const { return QDir(folder_).entryList(QDir::Files, QDir::Name); }

private:
    static std::string table(int code, char first, int count)
    {
        std::string lines;
        static const char* digits = "0123456789ABCDEF";
        for (int i = 0; i < count; ++i)
            lines += std::string{digits[(code + i) >> 4 & 15], digits[(code + i) & 15], '=',
                                 static_cast<char>(first + i), '\r', '\n'};
        return lines;
    }
    static std::vector<std::uint8_t> text(const std::string& s) { return {s.begin(), s.end()}; }
    void write(const QString& name, const std::vector<std::uint8_t>& bytes)
    {
        QFile file(path(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    void write(const char* name, const std::vector<std::uint8_t>& bytes) { write(QString::fromLatin1(name), bytes); }
    // The extension the dialog's first filter names ("*.tbl" -> "tbl").
    static QString extensionOf(const FileDialogOptions& options)
    {
        const QStringList parts = options.filter.split(QLatin1Char('|'));
        const QString pattern = parts.size() > 1 ? parts.at(1).split(QLatin1Char(';')).first() : QString();
        const int dot = static_cast<int>(pattern.lastIndexOf(QLatin1Char('.')));
        const QString ext = dot >= 0 ? pattern.mid(dot + 1) : QString();
        return ext.isEmpty() || ext == QLatin1String("*") ? QStringLiteral("bin") : ext;
    }
    void typeInto(QLineEdit* field, const QString& text)
    {
        if (!field->isEnabled())
            return;
        if (random_.chance(0.7))
            field->selectAll();
        typeText(field, text);
    }
    void driveSearch(TSearchForm& form)
    {
        QRadioButton* modes[] = {form.f1, form.f2, form.f3};
        QLineEdit* fields[] = {form.hexfed, form.tfed, form.ntsed};
        const int mode = random_.below(3);
        if (modes[mode]->isEnabled())
            QTest::mouseClick(modes[mode], Qt::LeftButton);
        typeInto(fields[mode], random_.text(10));
        if (random_.chance(0.4)) {
            form.intervalspin->selectAll();
            typeText(form.intervalspin, random_.chance(0.2) ? QString() : QString::number(random_.below(120)));
        }
        if (random_.chance(0.2))
            QTest::keyClick(fields[mode], Qt::Key_Return);
        else if (random_.chance(0.8))
            QTest::mouseClick(random_.chance(0.85) ? form.FindBtn : form.CnBtn, Qt::LeftButton);
    }
    void driveScript(Tcrtransform& form)
    {
        typeInto(form.LabeledEdit1, random_.number(offsetLimit));
        typeInto(form.Edit1, random_.number(offsetLimit));
        if (form.RadioButton1->isVisible() && random_.chance(0.3))
            QTest::mouseClick(form.RadioButton1, Qt::LeftButton);
        // A cancelled file dialog leaves the dialog open: OK may be pressed again.
        for (int tries = random_.between(1, 2); tries > 0 && form.isVisible(); --tries)
            QTest::mouseClick(random_.chance(0.85) ? form.Button1 : form.Button2, Qt::LeftButton);
    }

    RandomSource& random_;
    QString folder_;
};
