#include "CCustomers.h"

#include <CVisibleText.h>

#include <QCoreApplication>

namespace {
QString tr(const char* pszText)
{
    return QCoreApplication::translate("CCustomers", pszText);
}
} // namespace

CCustomers::CCustomers()
    : mcolCustomers({
          tr("There is already a customer with ID \"%1\"."),
          tr("There is no customer with ID \"%1\"."),
          tr("Please enter a Customer ID."),
      })
{}

void CCustomers::Add(const QString& strCustomerId, const QString& strLastName,
                     const QString& strFirstName, const QString& strAddress, const QString& strCity,
                     const QString& strState, const QString& strZipCode)
{
    auto objCustomer = std::make_shared<CCustomer>();
    objCustomer->setCustomerID(strCustomerId);
    objCustomer->setLastName(strLastName);
    objCustomer->setFirstName(strFirstName);
    objCustomer->setAddress(strAddress);
    objCustomer->setCity(strCity);
    objCustomer->setState(strState);
    objCustomer->setZipCode(strZipCode);
    // The key is the record's own ID as read back, so key and record cannot disagree.
    const QString strKey = objCustomer->CustomerID();
    const bool bOwnForm = CVisibleText::IsOwnForm(strKey);
    const QString strForm = bOwnForm ? strKey : CVisibleText::Form(strKey);
    CheckLooksNew(strKey, strForm);
    mcolCustomers.add(std::move(objCustomer), strKey);
    if (!bOwnForm)
        mcolLookAlikes.insert(strForm, strKey);
}

void CCustomers::Remove(const QString& strKey)
{
    mcolCustomers.remove(strKey);
    if (!mcolLookAlikes.isEmpty() && !CVisibleText::IsOwnForm(strKey))
        mcolLookAlikes.remove(CVisibleText::Form(strKey));
}

// Refuses an ID that is blank or looks the same as a stored one. An ID
// stored exactly is left to the collection, which refuses it as repeated.
void CCustomers::CheckLooksNew(const QString& strCustomerId, const QString& strForm) const
{
    if (strForm.isEmpty())
        throw CError(tr("Please enter a Customer ID."));
    QString strLookAlike;
    if (strForm != strCustomerId && mcolCustomers.contains(strForm))
        strLookAlike = strForm;
    else
        strLookAlike = mcolLookAlikes.value(strForm);
    if (!strLookAlike.isNull() && strLookAlike != strCustomerId)
        throw CError(
            tr("There is already a customer with ID \"%1\", which looks the same as "
               "\"%2\".")
                .arg(CVisibleText::Quoted(strLookAlike), CVisibleText::Quoted(strCustomerId)));
}
