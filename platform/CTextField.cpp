#include "CTextField.h"

#include <limits>

CTextField::CTextField(QWidget* pParent) : QLineEdit(pParent)
{
    // QLineEdit would otherwise stop at 32,767 characters without a word.
    setMaxLength(std::numeric_limits<int>::max());
}
