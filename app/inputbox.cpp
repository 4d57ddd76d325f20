#include "app/inputbox.h"

#include "app/forms.h"

AllowedChars goToCharacters()
{
    AllowedChars set;
    set.set(8);
    for (char c : std::string_view("0123456789ABCDEFabcdefHh"))
        set.set(static_cast<unsigned char>(c));
    return set;
}

AllowedChars fillByteCharacters()
{
    AllowedChars set;
    set.set(8);
    set.set(13);
    for (char c = '0'; c <= '9'; ++c)
        set.set(static_cast<unsigned char>(c));
    return set;
}

TInputForm::TInputForm(Workbench& workbench, QWidget* parent) : QDialog(parent), wb_(workbench)
{
    setObjectName(QStringLiteral("InputForm"));
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setFixedSize(303, 76);
}

std::optional<QString> TInputForm::query(const InputRequest&)
{
    confirmed_ = false;
    return std::nullopt;
}

QString InputBoxQuery(Workbench& workbench, const QString& caption, const QString& prompt,
                      const AllowedChars& allowed, int maxLength)
{
    TInputForm& box = *workbench.forms.inputForm;
    const std::optional<QString> answer =
        workbench.dialogs().inputBox(box, InputRequest{caption, prompt, allowed, maxLength});
    box.setConfirmed(answer.has_value());
    return answer.value_or(QStringLiteral("0"));
}

bool InputBoxConfirmed(Workbench& workbench)
{
    return workbench.forms.inputForm->confirmed();
}
