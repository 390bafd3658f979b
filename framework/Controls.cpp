#include "Controls.h"

std::string TEdit::GetText() const { return text().toStdString(); }

int TStrings::Add(const std::string& line)
{
    editor_.appendPlainText(QString::fromStdString(line));
    return Count() - 1;
}

int TStrings::Count() const
{
    // An empty memo still holds one (empty) block.
    return editor_.document()->isEmpty() ? 0 : editor_.document()->blockCount();
}
