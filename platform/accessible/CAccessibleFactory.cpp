#include "CAccessibleFactory.h"

#include "CAnnouncer.h"
#include "CFormWindow.h"
#include "CFormWindowAccessible.h"
#include "CListView.h"
#include "CListViewAccessible.h"
#include "CTextField.h"
#include "CTextFieldAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {
QAccessibleInterface* describe(const QString& strClassName, QObject* pObject)
{
    // Qt asks for the most derived class first, so these come before its own
    // descriptions of QWidget, QLineEdit and QListView.
    if (strClassName == u"CFormWindow")
        return new CFormWindowAccessible(static_cast<CFormWindow*>(pObject));
    if (strClassName == u"CTextField")
        return new CTextFieldAccessible(static_cast<CTextField*>(pObject));
    if (strClassName == u"CListView")
        return new CListViewAccessible(static_cast<CListView*>(pObject));
    if (strClassName == u"CAnnouncer")
        return new QAccessibleWidget(static_cast<CAnnouncer*>(pObject), QAccessible::Notification);
    return nullptr;
}
} // namespace

void CAccessibleFactory::Install()
{
    static const bool bInstalled = [] {
        QAccessible::installFactory(describe);
        return true;
    }();
    (void)bInstalled;
}
