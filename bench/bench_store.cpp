// The customer store against a plain unordered_map doing the same work, which
// keeps no order and is the floor to measure against. Then the keyed
// collection alone against the map alone, both given records made beforehand,
// which tells the collection's own cost from the store's checks of an ID.
#include <CCustomers.h>
#include <KeyedCollection.h>

#include <QHashFunctions>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

namespace {
using Baseline = std::unordered_map<QString, std::shared_ptr<CCustomer>>;
using Collection = KeyedCollection<std::shared_ptr<CCustomer>>;
// The same map, as a type of its own for the runs of the map alone.
struct Map : Baseline
{
};

// Fields of 8 to 12 characters, as at a real desk.
QString field(std::mt19937& objRandom, const char* pszPrefix, int intNumber)
{
    QString strField = QString::fromLatin1(pszPrefix) + QString::number(intNumber);
    const int intLength = std::uniform_int_distribution<int>(8, 12)(objRandom);
    while (strField.size() < intLength)
        strField += QChar(char16_t(u'a' + objRandom() % 26));
    return strField;
}

struct Customers
{
    std::vector<std::array<QString, 7>> lstRows;
    std::vector<std::shared_ptr<CCustomer>> lstRecords; // for the collection and map alone
    std::vector<QString> lstShuffledIds;
};

const Customers& customers(int intCount)
{
    static std::map<int, Customers> mapCache;
    Customers& objCustomers = mapCache[intCount];
    if (objCustomers.lstRows.empty()) {
        std::mt19937 objRandom(intCount);
        for (int i = 0; i < intCount; ++i)
            objCustomers.lstRows.push_back({field(objRandom, "C", i), field(objRandom, "L", i),
                                            field(objRandom, "F", i), field(objRandom, "A", i),
                                            field(objRandom, "T", i), field(objRandom, "S", i),
                                            field(objRandom, "Z", i)});
        for (const auto& lstRow : objCustomers.lstRows) {
            objCustomers.lstRecords.push_back(std::make_shared<CCustomer>());
            objCustomers.lstRecords.back()->setCustomerID(lstRow[0]);
            objCustomers.lstShuffledIds.push_back(lstRow[0]);
        }
        std::shuffle(objCustomers.lstShuffledIds.begin(), objCustomers.lstShuffledIds.end(),
                     objRandom);
    }
    return objCustomers;
}

void add(CCustomers& objStore, const Customers& objCustomers, size_t uRow)
{
    const auto& r = objCustomers.lstRows[uRow];
    objStore.Add(r[0], r[1], r[2], r[3], r[4], r[5], r[6]);
}

void add(Baseline& mapStore, const Customers& objCustomers, size_t uRow)
{
    const auto& r = objCustomers.lstRows[uRow];
    auto objCustomer = std::make_shared<CCustomer>();
    objCustomer->setCustomerID(r[0]);
    objCustomer->setLastName(r[1]);
    objCustomer->setFirstName(r[2]);
    objCustomer->setAddress(r[3]);
    objCustomer->setCity(r[4]);
    objCustomer->setState(r[5]);
    objCustomer->setZipCode(r[6]);
    const QString strKey = objCustomer->CustomerID();
    mapStore.emplace(strKey, std::move(objCustomer));
}

void add(Collection& colStore, const Customers& objCustomers, size_t uRow)
{
    colStore.add(objCustomers.lstRecords[uRow], objCustomers.lstRows[uRow][0]);
}

void add(Map& mapStore, const Customers& objCustomers, size_t uRow)
{
    mapStore.emplace(objCustomers.lstRows[uRow][0], objCustomers.lstRecords[uRow]);
}

template <class Store> std::unique_ptr<Store> empty()
{
    return std::make_unique<Store>();
}
template <> std::unique_ptr<Collection> empty()
{
    return std::make_unique<Collection>(KeyedCollectionMessages{"%1", "%1", "-"});
}

template <class Store> std::unique_ptr<Store> filled(const Customers& objCustomers)
{
    auto pStore = empty<Store>();
    for (size_t uRow = 0; uRow < objCustomers.lstRows.size(); ++uRow)
        add(*pStore, objCustomers, uRow);
    return pStore;
}

const CCustomer& item(const CCustomers& objStore, const QString& strKey)
{
    return *objStore.Item(strKey);
}
const CCustomer& item(const Baseline& mapStore, const QString& strKey)
{
    return *mapStore.at(strKey);
}
const CCustomer& item(const Collection& colStore, const QString& strKey)
{
    return *colStore.item(strKey);
}
void remove(CCustomers& objStore, const QString& strKey)
{
    objStore.Remove(strKey);
}
void remove(Baseline& mapStore, const QString& strKey)
{
    mapStore.erase(strKey);
}
void remove(Collection& colStore, const QString& strKey)
{
    colStore.remove(strKey);
}
const CCustomer& record(const std::shared_ptr<CCustomer>& objCustomer)
{
    return *objCustomer;
}
const CCustomer& record(const Baseline::value_type& objEntry)
{
    return *objEntry.second;
}

// Each benchmark reports the time of one operation, averaged over the whole store.
template <class Store> void Add(benchmark::State& state)
{
    const Customers& objCustomers = customers(static_cast<int>(state.range(0)));
    // A first fill, untimed, takes from the system the pages the store needs
    // and gives back what the last benchmark left to the allocator: whichever
    // store ran first would otherwise pay for both.
    filled<Store>(objCustomers).reset();
    for (auto _ : state) {
        auto pStore = empty<Store>();
        for (size_t uRow = 0; uRow < objCustomers.lstRows.size(); ++uRow)
            add(*pStore, objCustomers, uRow);
        state.PauseTiming();
        pStore.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <class Store> void Item(benchmark::State& state)
{
    const Customers& objCustomers = customers(static_cast<int>(state.range(0)));
    const auto pStore = filled<Store>(objCustomers);
    for (auto _ : state)
        for (const QString& strId : objCustomers.lstShuffledIds)
            benchmark::DoNotOptimize(&item(*pStore, strId));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <class Store> void Remove(benchmark::State& state)
{
    const Customers& objCustomers = customers(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto pStore = filled<Store>(objCustomers);
        state.ResumeTiming();
        for (const QString& strId : objCustomers.lstShuffledIds)
            remove(*pStore, strId);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <class Store> void Enumerate(benchmark::State& state)
{
    const Customers& objCustomers = customers(static_cast<int>(state.range(0)));
    const auto pStore = filled<Store>(objCustomers);
    for (auto _ : state)
        for (const auto& objEntry : *pStore)
            benchmark::DoNotOptimize(&record(objEntry));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Each size runs a number of times that keeps the small ones from being
// one noisy sample.
void registerSizes(const char* pszName, void (*fnBenchmark)(benchmark::State&))
{
    for (int intCount = 1000; intCount <= 1000000; intCount *= 10)
        benchmark::RegisterBenchmark(pszName, fnBenchmark)
            ->Arg(intCount)
            ->Iterations(std::max(3, 2000000 / intCount))
            ->Unit(benchmark::kMillisecond);
}

void registerAll()
{
    registerSizes("store/add", Add<CCustomers>);
    registerSizes("unordered_map/add", Add<Baseline>);
    registerSizes("store/item", Item<CCustomers>);
    registerSizes("unordered_map/item", Item<Baseline>);
    registerSizes("store/remove", Remove<CCustomers>);
    registerSizes("unordered_map/remove", Remove<Baseline>);
    registerSizes("store/enumerate", Enumerate<CCustomers>);
    registerSizes("unordered_map/enumerate", Enumerate<Baseline>);
    registerSizes("collection/add", Add<Collection>);
    registerSizes("map/add", Add<Map>);
    registerSizes("collection/item", Item<Collection>);
    registerSizes("map/item", Item<Map>);
    registerSizes("collection/remove", Remove<Collection>);
    registerSizes("map/remove", Remove<Map>);
}

// Keeps every run's time so that the ratios can be printed at the end.
class CRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& lstRuns) override
    {
        ConsoleReporter::ReportRuns(lstRuns);
        for (const Run& objRun : lstRuns)
            mapTimes[objRun.run_name.function_name + "/" + objRun.run_name.args] =
                objRun.GetAdjustedRealTime();
    }

    void PrintRatios(const char* pszOurs, const char* pszBase,
                     std::initializer_list<const char*> lstOperations) const
    {
        for (int intCount = 1000; intCount <= 1000000; intCount *= 10) {
            std::printf("%s/%s at %d:", pszOurs, pszBase, intCount);
            for (const char* pszOperation : lstOperations) {
                const auto strSuffix =
                    std::string("/") + pszOperation + "/" + std::to_string(intCount);
                const auto itOurs = mapTimes.find(pszOurs + strSuffix);
                const auto itBase = mapTimes.find(pszBase + strSuffix);
                if (itOurs != mapTimes.end() && itBase != mapTimes.end())
                    std::printf(" %s %.2f", pszOperation, itOurs->second / itBase->second);
            }
            std::printf("\n");
        }
    }

private:
    std::map<std::string, double> mapTimes;
};

// Heap bytes one stored customer costs: the record, its seven texts and its
// entry in the collection.
double bytesPerCustomer(int intCount)
{
    const size_t uBefore = mallinfo2().uordblks;
    auto pStore = std::make_unique<CCustomers>();
    std::mt19937 objRandom(7);
    for (int i = 0; i < intCount; ++i)
        pStore->Add(field(objRandom, "C", i), field(objRandom, "L", i), field(objRandom, "F", i),
                    field(objRandom, "A", i), field(objRandom, "T", i), field(objRandom, "S", i),
                    field(objRandom, "Z", i));
    const size_t uAfter = mallinfo2().uordblks;
    return double(uAfter - uBefore) / intCount;
}
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    registerAll();
    CRatioReporter objReporter;
    benchmark::RunSpecifiedBenchmarks(&objReporter);
    objReporter.PrintRatios("store", "unordered_map", {"add", "item", "remove", "enumerate"});
    objReporter.PrintRatios("collection", "map", {"add", "item", "remove"});
    std::printf("memory per stored customer at 1000000: %.0f bytes\n", bytesPerCustomer(1000000));
    benchmark::Shutdown();
    return 0;
}
