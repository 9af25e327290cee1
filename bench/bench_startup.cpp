// How long the client takes from its start to its sign-in window on the screen, against a bare
// Qt dialog (bare_dialog) on the same X server. Prints; never fails a build.
//
// Each run is a fresh process; the time runs from starting it to the X server reporting its
// sign-in dialog mapped (the main window behind it is no dialog). The client
// and the bare dialog take turns, pair after pair, so a neighbour's load weighs on both alike.
// Needs an X server in DISPLAY (Xvfb); the client runs on a demo store made before the first
// pair.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <xcb/xcb.h>

namespace {
class MapWatch {
public:
    MapWatch() {
        m_c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_c)) return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        m_type = atom("_NET_WM_WINDOW_TYPE");
        m_dialog = atom("_NET_WM_WINDOW_TYPE_DIALOG");
        m_name = atom("_NET_WM_NAME");
        m_utf8 = atom("UTF8_STRING");
        xcb_flush(m_c);
    }
    ~MapWatch() { xcb_disconnect(m_c); }
    bool ok() const { return m_c && !xcb_connection_has_error(m_c); }

    // Waits for a dialog whose title holds `named` to be mapped; its title, or an empty text
    // after the time-out.
    QString waitForDialog(const QString& named, int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            xcb_generic_event_t* e = xcb_poll_for_event(m_c);
            if (!e) {
                pollfd p{xcb_get_file_descriptor(m_c), POLLIN, 0};
                poll(&p, 1, 5);
                continue;
            }
            QString title;
            bool dialog = false;
            if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const xcb_window_t w = reinterpret_cast<xcb_map_notify_event_t*>(e)->window;
                dialog = property(w, m_type, XCB_ATOM_ATOM)
                             .contains(QByteArray(reinterpret_cast<const char*>(&m_dialog), sizeof m_dialog));
                title = QString::fromUtf8(property(w, m_name, m_utf8));
            }
            free(e);
            if (dialog && title.contains(named)) return title;
        }
        return {};
    }
    // Events of earlier runs are dropped before the next.
    void drain() {
        xcb_flush(m_c);
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_c))
            free(e);
    }

private:
    xcb_atom_t atom(const char* name) {
        xcb_intern_atom_reply_t* r =
            xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(r);
        return a;
    }
    QByteArray property(xcb_window_t w, xcb_atom_t name, xcb_atom_t type) {
        xcb_get_property_reply_t* r =
            xcb_get_property_reply(m_c, xcb_get_property(m_c, 0, w, name, type, 0, 256), nullptr);
        QByteArray value;
        if (r)
            value = QByteArray(static_cast<const char*>(xcb_get_property_value(r)),
                               xcb_get_property_value_length(r));
        free(r);
        return value;
    }
    xcb_connection_t* m_c = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_type = 0, m_dialog = 0, m_name = 0, m_utf8 = 0;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Milliseconds from starting the program to its first dialog on the screen; -1 when none came.
double TimeToDialog(MapWatch& watch, const QString& program, const QStringList& arguments,
                    const QString& named, const QProcessEnvironment& env, QString* title = nullptr) {
    watch.drain();
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer timer;
    timer.start();
    p.start(program, arguments);
    const QString shown = watch.waitForDialog(named, 120000);
    const double ms = timer.nsecsElapsed() / 1e6;
    p.kill();
    p.waitForFinished(10000);
    if (title) *title = shown;
    return shown.isEmpty() ? -1 : ms;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString folder = QCoreApplication::applicationDirPath();
    const QString client = QDir::cleanPath(folder + QStringLiteral("/../src/app/delmora-callcenter"));
    const QString bare = folder + QStringLiteral("/bare_dialog");
    const int pairs = argc > 1 ? std::max(15, atoi(argv[1])) : 15;
    if (qEnvironmentVariableIsEmpty("DISPLAY") || !QFileInfo::exists(client)) {
        std::printf("needs an X server in DISPLAY and %s\n", qPrintable(client));
        return 1;
    }
    MapWatch watch;
    if (!watch.ok()) {
        std::printf("cannot reach the X server\n");
        return 1;
    }
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DELMORA_HOME"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    const QStringList clientArgs{QStringLiteral("--demo")};

    // The demo store is made once; then one run of each, unmeasured, fills the file cache.
    const QString signIn = QStringLiteral("로그인"), bareTitle = QStringLiteral("bare");
    QString title;
    if (TimeToDialog(watch, client, clientArgs, signIn, env, &title) < 0) {
        std::printf("the client showed no sign-in window\n");
        return 1;
    }
    std::printf("the client's sign-in window: %s\n", qPrintable(title));
    TimeToDialog(watch, bare, {}, bareTitle, env);
    TimeToDialog(watch, client, clientArgs, signIn, env);

    std::vector<double> clientMs, bareMs;
    for (int i = 0; i < pairs; ++i) {
        // Who goes first changes every pair.
        for (int turn = 0; turn < 2; ++turn) {
            const bool clientTurn = (turn == 0) == (i % 2 == 0);
            const double ms = clientTurn ? TimeToDialog(watch, client, clientArgs, signIn, env)
                                         : TimeToDialog(watch, bare, {}, bareTitle, env);
            if (ms >= 0) (clientTurn ? clientMs : bareMs).push_back(ms);
        }
        std::printf("pair %2d: client %7.1f ms  bare %7.1f ms\n", i + 1,
                    clientMs.empty() ? -1 : clientMs.back(), bareMs.empty() ? -1 : bareMs.back());
        std::fflush(stdout);
    }
    const double c = Median(clientMs), b = Median(bareMs);
    std::printf("medians of %d pairs: client %.1f ms, bare dialog %.1f ms (target <= 1.3)\n", pairs, c, b);
    std::printf("summary startup/bare=%.2f\n", b > 0 ? c / b : 0.0);
    return 0;
}
