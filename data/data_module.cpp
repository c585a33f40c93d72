#include "data/data_module.h"

#include "data/database.h"

namespace {

Dataset::Lookup text(const char *name, int width, const char *key, Dataset *lookIn, const char *match,
                     const char *result)
{
    return {QString::fromLatin1(name),  FieldType::Text, width,
            QString::fromLatin1(key),   lookIn,          QString::fromLatin1(match),
            QString::fromLatin1(result)};
}

Dataset::Lookup integer(const char *name, const char *key, Dataset *lookIn, const char *match,
                        const char *result)
{
    return {QString::fromLatin1(name),  FieldType::Integer,         0, QString::fromLatin1(key), lookIn,
            QString::fromLatin1(match), QString::fromLatin1(result)};
}

} // namespace

TDataModule2::TDataModule2(Database &db, QObject *parent)
    : QObject(parent)
    , Table1(new Dataset(db, QStringLiteral("bd\\taxisti.db"), this))
    , Table2(new Dataset(db, QStringLiteral("bd\\auto.db"), this))
    , Table3(new Dataset(db, QStringLiteral("bd\\color.db"), this))
    , Table4(new Dataset(db, QStringLiteral("bd\\gorod.db"), this))
    , Table6(new Dataset(db, QStringLiteral("bd\\raion.DB"), this))
    , Table5(new Dataset(db, QStringLiteral("bd\\ulica.db"), this))
    , sotrud(new Dataset(db, QStringLiteral("bd\\sotrud.DB"), this))
    , pwl(new Dataset(db, QStringLiteral("bd\\pwl.DB"), this))
    , Grafic(new Dataset(db, QStringLiteral("bd\\grafic.db"), this))
    , Vozy_raion(new Dataset(db, QStringLiteral("bd\\vozyraion.db"), this))
    , Gurnal(new Dataset(db, QStringLiteral("bd\\gurnal.db"), this))
    , rastoyan(new Dataset(db, QStringLiteral("bd\\rastoyan.db"), this))
    , DSTaxist(new DataSource(Table1, QStringLiteral("DSTaxist"), this))
    , DSAuto(new DataSource(Table2, QStringLiteral("DSAuto"), this))
    , DSColor(new DataSource(Table3, QStringLiteral("DSColor"), this))
    , DSGorod(new DataSource(Table4, QStringLiteral("DSGorod"), this))
    , DSRaion(new DataSource(Table6, QStringLiteral("DSRaion"), this))
    , DSUlica(new DataSource(Table5, QStringLiteral("DSUlica"), this))
    , DSSotrud(new DataSource(sotrud, QStringLiteral("DSSotrud"), this))
    , DSpwl(new DataSource(pwl, QStringLiteral("DSpwl"), this))
    , DSGrafic(new DataSource(Grafic, QStringLiteral("DSGrafic"), this))
    , DSVozy_Raion(new DataSource(Vozy_raion, QStringLiteral("DSVozy_Raion"), this))
    , DSGurnal(new DataSource(Gurnal, QStringLiteral("DSGurnal"), this))
    , DSRastoyan(new DataSource(rastoyan, QStringLiteral("DSRastoyan"), this))
    , Query1(db, QStringLiteral("UPDATE bd\\vozyraion.db SET Status=false WHERE (Vozy=4)"))
    , m_db(db)
{
    setObjectName(QStringLiteral("DataModule2"));
    const std::pair<Dataset *, const char *> names[] = {
        {Table1, "Table1"}, {Table2, "Table2"},         {Table3, "Table3"}, {Table4, "Table4"},
        {Table6, "Table6"}, {Table5, "Table5"},         {sotrud, "sotrud"}, {pwl, "pwl"},
        {Grafic, "Grafic"}, {Vozy_raion, "Vozy_raion"}, {Gurnal, "Gurnal"}, {rastoyan, "rastoyan"}};
    for (const auto &[dataset, name] : names)
        dataset->setObjectName(QString::fromLatin1(name));
    addDisplayFields();
    Table5->setFilter(QStringLiteral("IdRion=1"));
    Gurnal->setFilter(QStringLiteral("Status=true"));
}

void TDataModule2::addDisplayFields()
{
    Table1->addLookup(text("Auto", 20, "IdAuto", Table2, "Id", "Name"));
    Table1->addLookup(text("Gorod", 20, "IdGorod", Table4, "Id", "Gorod"));
    Table1->addLookup(text("Ulica", 20, "IdUlica", Table5, "Id", "Ulica"));
    Table1->addLookup(text("color", 10, "Idcvet", Table3, "Id", "Color"));

    Table6->addLookup(text("Gorod", 20, "IdGorod", Table4, "Id", "Gorod"));
    Table5->addLookup(text("Raion", 20, "IdRion", Table6, "Id", "Raion"));

    sotrud->addLookup(text("ulica", 20, "Idulica", Table5, "Id", "Ulica"));
    sotrud->addLookup(text("gorod", 20, "IdGorod", Table4, "Id", "Gorod"));

    pwl->addLookup(text("Operator", 15, "IdOperator", sotrud, "Id", "Family"));

    Grafic->addLookup(integer("Number", "IdTaxist", Table1, "Id", "Number"));
    Grafic->addLookup(text("familiya", 15, "IdTaxist", Table1, "Id", "Familiya"));
    Grafic->addLookup(text("VozyAuto", 20, "IdTaxist", Table1, "Id", "Auto"));
    Grafic->addLookup(text("VozyAutoNumber", 10, "IdTaxist", Table1, "Id", "NumberAuto"));

    // The queue shows a driver through his schedule row, not straight from the drivers' table.
    Vozy_raion->addLookup(text("TTVozy", 20, "Vozy", Grafic, "IdTaxist", "familiya"));
    Vozy_raion->addLookup(text("TTRaion", 20, "Raion", Table6, "Id", "Raion"));
    Vozy_raion->addLookup(integer("TTVozyNumber", "Vozy", Grafic, "IdTaxist", "Number"));
    Vozy_raion->addLookup(text("TVozyAuto", 20, "Vozy", Grafic, "IdTaxist", "VozyAuto"));
    Vozy_raion->addLookup(text("TTNumberAutoTaxi", 10, "Vozy", Grafic, "IdTaxist", "VozyAutoNumber"));

    Gurnal->addLookup(text("Operator", 15, "IdOperator", sotrud, "Id", "Family"));
    Gurnal->addLookup(text("Otkuda_Raion", 20, "IdOtkudaRaion", Table6, "Id", "Raion"));
    Gurnal->addLookup(text("Otkuda_Ulica", 20, "IdOtkudaUlica", Table5, "Id", "Ulica"));
    Gurnal->addLookup(text("Kuda_Raion", 20, "IdKudaRaion", Table6, "Id", "Raion"));
    // The order's driver is shown through the queue.
    Gurnal->addLookup(text("Vozy", 15, "IdVozy", Vozy_raion, "Vozy", "TTVozy"));
    Gurnal->addLookup(integer("VozyNumber", "IdVozy", Vozy_raion, "Vozy", "TTVozyNumber"));
    Gurnal->addLookup(text("TaxiAuto", 20, "IdVozy", Vozy_raion, "Vozy", "TVozyAuto"));
    Gurnal->addLookup(text("VozyAutoNumber", 10, "IdVozy", Vozy_raion, "Vozy", "TTNumberAutoTaxi"));

    rastoyan->addLookup(text("Raion1", 20, "IdRaion1", Table6, "Id", "Raion"));
    rastoyan->addLookup(text("Raion2", 20, "IdRaion2", Table6, "Id", "Raion"));
}

Dataset *makeCurrentOrdersView(TDataModule2 &dm, QObject *parent)
{
    auto *view = new Dataset(dm.database(), QStringLiteral("bd\\gurnal.DB"), parent);
    view->setObjectName(QStringLiteral("Table1"));
    view->addLookup(integer("VozyNumber", "IdVozy", dm.Table1, "Id", "Number"));
    view->addLookup(text("Vozy", 20, "IdVozy", dm.Table1, "Id", "Familiya"));
    view->addLookup(text("Operator", 20, "IdOperator", dm.sotrud, "Id", "Family"));
    view->addLookup(text("Otkuda_raion", 20, "IdOtkudaRaion", dm.Table6, "Id", "Raion"));
    view->addLookup(text("Otkuda_Ulica", 20, "IdOtkudaUlica", dm.Table5, "Id", "Ulica"));
    view->addLookup(text("Kuda_Raion", 20, "IdKudaRaion", dm.Table6, "Id", "Raion"));
    view->addLookup(integer("idAutoVozy", "IdVozy", dm.Table1, "Id", "IdAuto"));
    view->addLookup(text("AutoVozy", 15, "idAutoVozy", dm.Table2, "Id", "Name"));
    view->addLookup(text("AutoNumber", 20, "IdVozy", dm.Table1, "Id", "NumberAuto"));
    view->addLookup(text("Taxxx", 20, "IdVozy", dm.Vozy_raion, "Vozy", "TTVozy"));
    view->addLookup(integer("TaxxNumber", "IdVozy", dm.Vozy_raion, "Vozy", "TTVozyNumber"));
    view->setFilter(QStringLiteral("Status=true"));
    view->setFiltered(true);
    return view;
}

Dataset *makeReportDetail(TDataModule2 &dm, QObject *parent)
{
    auto *detail = new Dataset(dm.database(), QStringLiteral("bd\\gurnal.DB"), parent);
    detail->setObjectName(QStringLiteral("Table1"));
    // Read through SecIdVozy: the driver's rows, in the order they were taken.
    detail->setMasterLink(dm.Table1, QStringLiteral("Id"), QStringLiteral("IdVozy"));
    return detail;
}
