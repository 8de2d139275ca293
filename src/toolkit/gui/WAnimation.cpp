#include "toolkit/gui/WAnimation.h"

#include <QLabel>

WAnimation::WAnimation(WForm& parent, int id) : WControl(parent, id, new QLabel) {}
