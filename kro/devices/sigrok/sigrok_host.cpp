#include "kro/devices/sigrok/sigrok_host.h"
#include "kro/devices/sigrok/sigrok_device.h"
#include <cstring>
#include <exception>
#include <future>
#include <libsigrok/libsigrok.h>

namespace kro {
namespace {

// Drivers of serial instruments find nothing without being told the port
// (SR_CONF_CONN): the start-up scan leaves them to addSerial.
bool speaksSerial(const sr_dev_driver* driver)
{
    GArray* options = sr_driver_scan_options_list(driver);
    if (options == nullptr)
        return false;
    bool serial = false;
    for (guint i = 0; i < options->len; ++i)
        serial = serial || g_array_index(options, uint32_t, i) == SR_CONF_SERIALCOMM;
    g_array_free(options, TRUE);
    return serial;
}

sr_dev_driver* findDriver(sr_context* context, const std::string& name)
{
    sr_dev_driver** drivers = sr_driver_list(context);
    for (int i = 0; drivers != nullptr && drivers[i] != nullptr; ++i)
        if (name == drivers[i]->name)
            return drivers[i];
    return nullptr;
}

// The host's one source of jobs, made on its thread and living as long as the
// loop: ready whenever the queue holds a job, which every wake-up rechecks.
struct JobSource {
    GSource base;
    SigrokHost* host;
};

gboolean jobsWaiting(GSource* source, gint* timeout)
{
    *timeout = -1;
    return reinterpret_cast<JobSource*>(source)->host->hasJobs();
}

gboolean jobsReady(GSource* source) { return reinterpret_cast<JobSource*>(source)->host->hasJobs(); }

gboolean runWaitingJobs(GSource* source, GSourceFunc, gpointer)
{
    reinterpret_cast<JobSource*>(source)->host->runJobs();
    return G_SOURCE_CONTINUE;
}

GSourceFuncs jobSourceFuncs = {jobsWaiting, jobsReady, runWaitingJobs, nullptr, nullptr, nullptr};

} // namespace

SigrokHost& SigrokHost::instance()
{
    static SigrokHost host;
    return host;
}

SigrokHost::SigrokHost()
{
    // Only what goes wrong reaches standard error.
    sr_log_loglevel_set(SR_LOG_ERR);
    mainContext_ = g_main_context_new();
    loop_ = g_main_loop_new(mainContext_, FALSE);
    thread_ = std::thread([this] { run(); });
}

SigrokHost::~SigrokHost()
{
    call([this] {
        devices_.clear(); // stops their sessions and closes them
        if (context_ != nullptr)
            sr_exit(context_);
        context_ = nullptr;
        g_main_loop_quit(loop_);
    });
    thread_.join();
    g_main_loop_unref(loop_);
    g_main_context_unref(mainContext_);
}

void SigrokHost::run()
{
    hostThread_.store(std::this_thread::get_id());
    g_main_context_push_thread_default(mainContext_);
    GSource* jobs = g_source_new(&jobSourceFuncs, sizeof(JobSource));
    reinterpret_cast<JobSource*>(jobs)->host = this;
    g_source_attach(jobs, mainContext_);
    if (sr_init(&context_) != SR_OK)
        context_ = nullptr;
    call([this] { scanAll(); });
    g_main_loop_run(loop_);
    g_source_destroy(jobs);
    g_source_unref(jobs);
    g_main_context_pop_thread_default(mainContext_);
}

void SigrokHost::call(const std::function<void()>& work)
{
    if (onHostThread()) {
        work();
        return;
    }
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    post([&] {
        try {
            work();
            done.set_value();
        } catch (...) {
            done.set_exception(std::current_exception());
        }
    });
    finished.get();
}

// The jobs travel through a queue of our own under a standard mutex, and the
// loop is only woken: GLib's locks are invisible to the thread sanitizer, so
// nothing GLib allocates may pass between threads (an idle source per job
// would be made here and freed on the host's thread).
void SigrokHost::post(std::function<void()> work)
{
    jobs_.push(std::move(work));
    g_main_context_wakeup(mainContext_);
}

bool SigrokHost::hasJobs() { return !jobs_.empty(); }

void SigrokHost::runJobs()
{
    while (const std::function<void()> job = jobs_.take())
        job();
}

void SigrokHost::scanAll()
{
    std::vector<std::unique_ptr<SigrokDevice>> found;
    sr_dev_driver** drivers = context_ != nullptr ? sr_driver_list(context_) : nullptr;
    for (int i = 0; drivers != nullptr && drivers[i] != nullptr; ++i) {
        sr_dev_driver* driver = drivers[i];
        if (speaksSerial(driver) || sr_driver_init(context_, driver) != SR_OK)
            continue;
        GSList* instances = sr_driver_scan(driver, nullptr);
        for (GSList* l = instances; l != nullptr; l = l->next)
            found.push_back(std::make_unique<SigrokDevice>(*this, static_cast<sr_dev_inst*>(l->data)));
        g_slist_free(instances);
    }
    std::lock_guard lock(mutex_);
    for (auto& d : found)
        devices_.push_back(std::move(d));
    scanDone_ = true;
    scanned_.notify_all();
}

std::vector<SigrokDevice*> SigrokHost::devices()
{
    std::unique_lock lock(mutex_);
    scanned_.wait(lock, [this] { return scanDone_; });
    std::vector<SigrokDevice*> list;
    for (const auto& d : devices_)
        list.push_back(d.get());
    return list;
}

std::vector<std::string> SigrokHost::serialDrivers()
{
    std::vector<std::string> names;
    call([&] {
        sr_dev_driver** drivers = context_ != nullptr ? sr_driver_list(context_) : nullptr;
        for (int i = 0; drivers != nullptr && drivers[i] != nullptr; ++i)
            if (speaksSerial(drivers[i]))
                names.emplace_back(drivers[i]->name);
    });
    return names;
}

std::vector<SigrokDevice*> SigrokHost::addSerial(const std::string& driverName, const std::string& port,
                                                 std::string& message)
{
    devices(); // after the start-up scan, so numbers stay in order
    std::vector<SigrokDevice*> added;
    call([&] {
        sr_dev_driver* driver = context_ != nullptr ? findDriver(context_, driverName) : nullptr;
        if (driver == nullptr) {
            message = "libsigrok has no driver \"" + driverName + "\"";
            return;
        }
        if (sr_driver_init(context_, driver) != SR_OK) {
            message = "The libsigrok driver \"" + driverName + "\" cannot be started";
            return;
        }
        sr_config conn{SR_CONF_CONN, g_variant_new_string(port.c_str())};
        g_variant_ref_sink(conn.data);
        GSList options{&conn, nullptr};
        GSList* instances = sr_driver_scan(driver, &options);
        g_variant_unref(conn.data);
        std::lock_guard lock(mutex_);
        for (GSList* l = instances; l != nullptr; l = l->next) {
            devices_.push_back(std::make_unique<SigrokDevice>(*this, static_cast<sr_dev_inst*>(l->data)));
            added.push_back(devices_.back().get());
        }
        g_slist_free(instances);
        if (added.empty())
            message = "No " + driverName + " instrument answered on " + port;
    });
    return added;
}

} // namespace kro
