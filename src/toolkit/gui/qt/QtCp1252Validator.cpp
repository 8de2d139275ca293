#include "toolkit/gui/qt/QtCp1252Validator.h"

#include "toolkit/gui/qt/QtText.h"

QValidator::State QtCp1252Validator::validate(QString& input, int& /*pos*/) const {
    return QtText::fitsCp1252(input) ? Acceptable : Invalid;
}
