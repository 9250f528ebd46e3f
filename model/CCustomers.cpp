#include "CCustomers.h"

#include <QCoreApplication>

CCustomers::CCustomers()
    : mcolCustomers({
          QCoreApplication::translate("CCustomers", "There is already a customer with ID \"%1\"."),
          QCoreApplication::translate("CCustomers", "There is no customer with ID \"%1\"."),
          QCoreApplication::translate("CCustomers", "Please enter a Customer ID."),
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
    mcolCustomers.add(std::move(objCustomer), strKey);
}
