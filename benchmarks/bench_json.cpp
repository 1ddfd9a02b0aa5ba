// JsonReader against Qt's own JSON parser on the weather service's replies.
#include "JsonReader.h"

#include <QFile>
#include <QJsonDocument>
#include <QString>

#include <benchmark/benchmark.h>

namespace {

QByteArray reply(int which)
{
    if (which == 3) {
        // A large reply: the whole city table as an array of objects (about 100 KB).
        QFile file(QStringLiteral(QPA_SOURCE_DIR "/src/weather/data/city_area_ids.tsv"));
        QByteArray json = "{\"cities\":[";
        if (file.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : file.readAll().trimmed().split('\n')) {
                const QList<QByteArray> fields = line.split('\t');
                if (fields.size() == 2)
                    json += "{\"id\":\"" + fields[0] + "\",\"name\":\"" + fields[1] + "\",\"n\":" + fields[0]
                        + "},";
            }
        }
        json.chop(1);
        return json + "]}";
    }
    static const char *const names[] = {"forecast3d.json", "observe.json", "index.json"};
    QFile file(QStringLiteral(QPA_SOURCE_DIR "/tests/weather/data/") + QLatin1String(names[which]));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void setLabel(benchmark::State &state, const QByteArray &body)
{
    static const char *const labels[] = {"forecast3d", "observe", "index", "cities"};
    state.SetLabel(labels[state.range(0)]);
    state.SetBytesProcessed(int64_t(state.iterations()) * body.size());
}

// The readers decode the reply as UTF-8 and parse it; both steps are counted, as for Qt's parser.
void JsonReader_parse(benchmark::State &state)
{
    const QByteArray body = reply(int(state.range(0)));
    for (auto _ : state) {
        bool ok = false;
        QVariant value = JsonReader::parse(QString::fromUtf8(body), ok);
        benchmark::DoNotOptimize(value);
        if (!ok)
            state.SkipWithError("reply did not parse");
    }
    setLabel(state, body);
}

void QJsonDocument_toVariant(benchmark::State &state)
{
    const QByteArray body = reply(int(state.range(0)));
    for (auto _ : state) {
        QVariant value = QJsonDocument::fromJson(body).toVariant();
        benchmark::DoNotOptimize(value);
    }
    setLabel(state, body);
}

} // namespace

BENCHMARK(JsonReader_parse)->DenseRange(0, 3);
BENCHMARK(QJsonDocument_toVariant)->DenseRange(0, 3);
BENCHMARK_MAIN();
