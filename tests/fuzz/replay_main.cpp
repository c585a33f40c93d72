// The fuzz targets in the test suite: a bounded and repeatable stand-in for libFuzzer. It runs the
// target's entry function on every input of its saved corpus, then on a fixed number of inputs
// mutated from them by a seeded generator, so that every run tries the same inputs.
//   replay_<target> CORPUS_DIR [--dict FILE] [--runs N] [--seed S] [--max-len BYTES]
// An input that breaks a promise or crashes is printed in hexadecimal and written to
// replay-failure.bin in the working directory.
#include "tests/fuzz/fuzz_support.h"

#include <QByteArrayList>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace {

const QByteArray *current = nullptr;

void writeOut(int fd, const char *text)
{
    [[maybe_unused]] const auto written = ::write(fd, text, std::strlen(text));
}

// Runs in a signal handler: only what is safe there.
void reportCurrentInput(int signal)
{
    writeOut(2, "\nThe input that failed, in hexadecimal:\n");
    if (current != nullptr) {
        static const char digits[] = "0123456789abcdef";
        char pair[2];
        // The whole input is in the file; the report shows its start.
        const qsizetype shown = std::min<qsizetype>(current->size(), 512);
        for (qsizetype i = 0; i < shown; ++i) {
            const char c = current->at(i);
            pair[0] = digits[(static_cast<unsigned char>(c) >> 4) & 0xF];
            pair[1] = digits[static_cast<unsigned char>(c) & 0xF];
            [[maybe_unused]] const auto written = ::write(2, pair, 2);
        }
        const int fd = ::open("replay-failure.bin", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            [[maybe_unused]] const auto written = ::write(fd, current->constData(), size_t(current->size()));
            ::close(fd);
        }
    }
    if (current != nullptr && current->size() > 512)
        writeOut(2, "...");
    writeOut(2, signal == SIGALRM ? "\nIt ran for more than ten seconds.\n" : "\n");
    ::signal(signal, SIG_DFL);
    ::raise(signal == SIGALRM ? SIGABRT : signal);
}

// libFuzzer's dictionary format: one "token" per line, with \\, \" and \xNN escapes.
QByteArrayList readDictionary(const QString &path)
{
    QByteArrayList tokens;
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return tokens;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const qsizetype open = line.indexOf('"');
        const qsizetype close = line.lastIndexOf('"');
        if (line.trimmed().startsWith('#') || open < 0 || close <= open)
            continue;
        QByteArray token;
        const QByteArray quoted = line.mid(open + 1, close - open - 1);
        for (qsizetype i = 0; i < quoted.size(); ++i) {
            if (quoted.at(i) == '\\' && i + 1 < quoted.size() && quoted.at(i + 1) == 'x' &&
                i + 3 < quoted.size()) {
                token += char(quoted.mid(i + 2, 2).toInt(nullptr, 16));
                i += 3;
            } else if (quoted.at(i) == '\\' && i + 1 < quoted.size()) {
                token += quoted.at(++i);
            } else {
                token += quoted.at(i);
            }
        }
        tokens << token;
    }
    return tokens;
}

class Mutator
{
public:
    Mutator(quint64 seed, QByteArrayList corpus, QByteArrayList dictionary, qsizetype maxLength)
        : m_random(seed)
        , m_corpus(std::move(corpus))
        , m_dictionary(std::move(dictionary))
        , m_maxLength(maxLength)
    {
    }

    QByteArray next()
    {
        QByteArray input = pick(m_corpus);
        const int steps = 1 + below(4);
        for (int i = 0; i < steps; ++i)
            mutate(input);
        if (input.size() > m_maxLength)
            input.truncate(m_maxLength);
        return input;
    }

private:
    int below(qsizetype n) { return n <= 0 ? 0 : int(m_random() % quint64(n)); }
    QByteArray pick(const QByteArrayList &list)
    {
        return list.isEmpty() ? QByteArray() : list.at(below(list.size()));
    }

    void mutate(QByteArray &input)
    {
        // Bytes that mean something to one parser or another, and characters outside ASCII.
        static const QByteArray special =
            QByteArrayLiteral("\x00\x01\x02\xff\x7f\x80'\"=()[] \t\r\n.,:;-+0123456789");
        static const QByteArrayList characters = {
            "\xd0\x96", "\xd1\x91",     "\xc2\xa0",     "\xe2\x80\xaf", "\xf0\x9f\x98\x80",
            "\xc2\x98", "\xed\xa0\x80", "\xef\xbb\xbf", "\xe2\x84\x96", "\xd9\xa3"};
        const qsizetype at = below(input.size() + 1);
        switch (below(8)) {
        case 0:
            if (!input.isEmpty())
                input[at % input.size()] = char(input.at(at % input.size()) ^ (1 << below(8)));
            break;
        case 1:
            if (!input.isEmpty())
                input[at % input.size()] = special.at(below(special.size()));
            break;
        case 2:
            input.insert(at, special.at(below(special.size())));
            break;
        case 3:
            input.remove(at, 1 + below(8));
            break;
        case 4: {
            const qsizetype from = below(input.size() + 1);
            input.insert(at, input.mid(from, 1 + below(16)));
            break;
        }
        case 5:
            input.insert(at, pick(m_dictionary));
            break;
        case 6: {
            const QByteArray other = pick(m_corpus);
            input = input.left(at) + other.mid(below(other.size() + 1));
            break;
        }
        default:
            input.insert(at, pick(characters));
        }
    }

    std::mt19937_64 m_random;
    QByteArrayList m_corpus;
    QByteArrayList m_dictionary;
    qsizetype m_maxLength;
};

void run(const QByteArray &input)
{
    current = &input;
    ::alarm(10);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
    current = nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    for (const int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGALRM})
        ::signal(signal, reportCurrentInput);
    const QCoreApplication app(argc, argv);
    Fuzz::environment();
    const QStringList args = QCoreApplication::arguments().mid(1);
    QString corpusDir, dictionary;
    long long runs = 1000, seed = 1, maxLength = 4096;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const QString value = i + 1 < args.size() ? args.at(i + 1) : QString();
        if (arg == QLatin1String("--dict"))
            dictionary = value, ++i;
        else if (arg == QLatin1String("--runs"))
            runs = value.toLongLong(), ++i;
        else if (arg == QLatin1String("--seed"))
            seed = value.toLongLong(), ++i;
        else if (arg == QLatin1String("--max-len"))
            maxLength = value.toLongLong(), ++i;
        else
            corpusDir = arg;
    }
    const QDir dir(corpusDir);
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    if (corpusDir.isEmpty() || names.isEmpty()) {
        std::fprintf(stderr, "No corpus in «%s»\n", qPrintable(corpusDir));
        return 2;
    }
    QByteArrayList corpus;
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            corpus << file.readAll();
    }

    QElapsedTimer clock;
    clock.start();
    for (const QByteArray &input : std::as_const(corpus))
        run(input);
    Mutator mutator(quint64(seed), corpus, readDictionary(dictionary), qsizetype(maxLength));
    for (long long i = 0; i < runs; ++i)
        run(mutator.next());
    std::printf("%s: %lld saved inputs and %lld mutations (seed %lld) in %.2f s, every promise kept\n",
                qPrintable(QFileInfo(QCoreApplication::applicationFilePath()).fileName()),
                static_cast<long long>(corpus.size()), runs, seed, double(clock.elapsed()) / 1000.0);
    return 0;
}
