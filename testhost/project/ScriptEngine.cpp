#include "testhost/project/ScriptEngine.h"

#include "testhost/project/ScriptBridge.h"

#include <QJSEngine>
#include <QQmlEngine>
#include <QStringList>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// The user's text runs through an indirect eval inside a try block: the eval gives the value
// of the last statement and declares the script's top-level names as globals of the session;
// the catch sees anything thrown, an Error or not.
const char *const kRunner =
    "(function (text) { try { return { ok: true, value: (0, eval)(text) }; }"
    " catch (e) { return { ok: false, value: e }; } })";

// "Error: <message> (line <n>)". The line is that of the innermost text being evaluated: the
// user's script, or the file it runs through $.evalFile; an error raised by the object model
// (defined in the prelude) reports the innermost frame of "eval code".
QString errorText(const QJSValue &error)
{
    if (!error.isError())
        return QStringLiteral("Error: %1").arg(error.toString());
    const QString message = error.property(QStringLiteral("message")).toString();
    int line = 0;
    const QStringList frames =
        error.property(QStringLiteral("stack")).toString().split(QLatin1Char('\n'));
    for (const QString &frame : frames) {
        const int at = frame.indexOf(QLatin1String("@eval code:"));
        if (at >= 0) {
            line = frame.mid(at + 11).toInt();
            break;
        }
    }
    if (line <= 0)
        return QStringLiteral("Error: %1").arg(message);
    return QStringLiteral("Error: %1 (line %2)").arg(message).arg(line);
}

// Interrupts a script that runs longer than the limit, from a thread of its own. One thread
// serves every run of the session (a batch import runs hundreds of scripts).
class ScriptWatchdog
{
public:
    explicit ScriptWatchdog(QJSEngine &engine) : m_engine(engine) {}
    ~ScriptWatchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable())
            m_thread.join();
    }

    // A run starts: it is interrupted unless disarm() comes within the limit.
    void arm(int limitMs)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
            m_armed = true;
            ++m_run;
        }
        if (!m_thread.joinable())
            m_thread = std::thread([this]() { watch(); });
        else
            m_wake.notify_one();
    }
    void disarm()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_armed = false;
    }

private:
    void watch()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_quit) {
            if (!m_armed) {
                m_wake.wait(lock);
                continue;
            }
            const quint64 run = m_run;
            if (m_wake.wait_until(lock, m_deadline,
                                  [&]() { return m_quit || !m_armed || m_run != run; }))
                continue;
            // Under the lock: a run that has disarmed is never interrupted.
            m_engine.setInterrupted(true);
            m_armed = false;
        }
    }

    QJSEngine &m_engine;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_armed = false;
    bool m_quit = false;
    quint64 m_run = 0;
    std::thread m_thread;
};

} // namespace

struct ScriptEngine::Private
{
    explicit Private(ProjectHost &project) : bridge(project) {}

    // Declared before the engine, so that the engine (which refers to it) goes first; the
    // watchdog, which refers to the engine, goes before it.
    ScriptBridge bridge;
    QJSEngine engine;
    ScriptWatchdog watchdog{engine};
    QJSValue runner;
    int timeLimitMs = 60000;
};

ScriptEngine::ScriptEngine(ProjectHost &project) : d(std::make_unique<Private>(project))
{
    QQmlEngine::setObjectOwnership(&d->bridge, QQmlEngine::CppOwnership);
    QJSValue install = d->engine.evaluate(ScriptBridge::prelude(), QStringLiteral("prelude"));
    install.call({d->engine.globalObject(), d->engine.newQObject(&d->bridge)});
    d->runner = d->engine.evaluate(QLatin1String(kRunner), QStringLiteral("runner"));
}

ScriptEngine::~ScriptEngine() = default;

void ScriptEngine::run(const QString &text, const QString &fileName, QString *result,
                       QString *error)
{
    result->clear();
    error->clear();
    if (text.startsWith(QLatin1String("@JSXBIN@"))) {
        *error = QStringLiteral("Error: %1 (line 1)").arg(ScriptBridge::compiledScriptError());
        return;
    }
    d->bridge.setScriptFileName(fileName);
    d->watchdog.arm(d->timeLimitMs);
    const QJSValue outcome = d->runner.call({text});
    d->watchdog.disarm();
    // The watchdog may have fired just as the script ended; the next script starts clean.
    d->engine.setInterrupted(false);
    d->bridge.setScriptFileName(QString());
    if (outcome.isError()) { // interrupted: nothing could catch it
        *error = QStringLiteral("Error: the script ran longer than %1 ms and was stopped")
                     .arg(d->timeLimitMs);
    } else if (!outcome.property(QStringLiteral("ok")).toBool()) {
        *error = errorText(outcome.property(QStringLiteral("value")));
    } else {
        const QJSValue value = outcome.property(QStringLiteral("value"));
        if (!value.isUndefined())
            *result = value.toString();
    }
}

void ScriptEngine::setTimeLimit(int milliseconds)
{
    d->timeLimitMs = std::max(1, milliseconds);
}
