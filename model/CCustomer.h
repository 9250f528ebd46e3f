#pragma once

#include <QString>

// One customer's data: seven texts, stored exactly as given.
class CCustomer
{
public:
    QString CustomerID() const { return mstrCustomerID; }
    void setCustomerID(const QString& strCustomerID) { mstrCustomerID = Compact(strCustomerID); }
    QString LastName() const { return mstrLastName; }
    void setLastName(const QString& strLastName) { mstrLastName = Compact(strLastName); }
    QString FirstName() const { return mstrFirstName; }
    void setFirstName(const QString& strFirstName) { mstrFirstName = Compact(strFirstName); }
    QString Address() const { return mstrAddress; }
    void setAddress(const QString& strAddress) { mstrAddress = Compact(strAddress); }
    QString City() const { return mstrCity; }
    void setCity(const QString& strCity) { mstrCity = Compact(strCity); }
    QString State() const { return mstrState; }
    void setState(const QString& strState) { mstrState = Compact(strState); }
    QString ZipCode() const { return mstrZipCode; }
    void setZipCode(const QString& strZipCode) { mstrZipCode = Compact(strZipCode); }

private:
    // A copy of strText that holds no spare capacity: text typed key by key
    // arrives in a buffer grown for more, and a store of many customers
    // should not keep that slack for each of their seven texts.
    static QString Compact(const QString& strText)
    {
        if (strText.capacity() <= strText.size())
            return strText;
        return QString(strText.constData(), strText.size());
    }

    QString mstrCustomerID;
    QString mstrLastName;
    QString mstrFirstName;
    QString mstrAddress;
    QString mstrCity;
    QString mstrState;
    QString mstrZipCode;
};
