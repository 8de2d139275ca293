#pragma once

#include <QValidator>

// Refuses input that Windows-1252 cannot hold, so that every text typed or pasted into a field can be
// stored in the program's files as it is shown (toolkit internal).
class QtCp1252Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};
