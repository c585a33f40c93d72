#pragma once

#include <QObject>

class Dataset;

// The link through which controls show a dataset; windows bind their controls to these.
class DataSource : public QObject
{
    Q_OBJECT

public:
    DataSource(Dataset *dataset, const QString &name, QObject *parent = nullptr)
        : QObject(parent)
        , m_dataset(dataset)
    {
        setObjectName(name);
    }

    Dataset *dataset() const { return m_dataset; }

private:
    Dataset *m_dataset;
};
