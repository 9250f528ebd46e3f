#pragma once

#include <QString>

// One customer's data: seven texts, stored exactly as given.
class CCustomer
{
public:
    QString CustomerID() const { return mstrCustomerID; }
    void setCustomerID(const QString& strCustomerID) { mstrCustomerID = strCustomerID; }
    QString LastName() const { return mstrLastName; }
    void setLastName(const QString& strLastName) { mstrLastName = strLastName; }
    QString FirstName() const { return mstrFirstName; }
    void setFirstName(const QString& strFirstName) { mstrFirstName = strFirstName; }
    QString Address() const { return mstrAddress; }
    void setAddress(const QString& strAddress) { mstrAddress = strAddress; }
    QString City() const { return mstrCity; }
    void setCity(const QString& strCity) { mstrCity = strCity; }
    QString State() const { return mstrState; }
    void setState(const QString& strState) { mstrState = strState; }
    QString ZipCode() const { return mstrZipCode; }
    void setZipCode(const QString& strZipCode) { mstrZipCode = strZipCode; }

private:
    QString mstrCustomerID;
    QString mstrLastName;
    QString mstrFirstName;
    QString mstrAddress;
    QString mstrCity;
    QString mstrState;
    QString mstrZipCode;
};
