#include "PagePipeline.h"

#include "PageRecognizer.h"
#include "PageRenderer.h"
#include "TextLayerCheck.h"

#include <omp.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <optional>
#include <thread>
#include <vector>

namespace pwt::ocr {

namespace {

// A page in order: its text as read, or its recognised text once done.
struct Slot {
    pdf::PageText page;
    bool waiting = false; // queued for recognition and not yet done
};

} // namespace

struct PagePipeline::State {
    std::string path;
    OcrSettings settings;
    LanguageData languages;
    Sink sink;

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Slot> slots;        // pages not yet handed on, in order
    std::deque<Slot*> jobs;        // slots to recognise, oldest first
    std::vector<std::thread> workers;
    std::string failure;
    bool stopping = false;
    int toRecognise = 0;
    int cutShort = 0;

    std::optional<pdf::PageRenderer> survey; // follows pages' drawing, on the reading thread

    pdf::PageRenderer& surveyor()
    {
        if (!survey) {
            survey.emplace();
            survey->open(path);
        }
        return *survey;
    }

    bool needsRecognition(const pdf::PageText& page)
    {
        switch (settings.mode) {
        case OcrMode::Never:
            return false;
        case OcrMode::Always:
            break;
        case OcrMode::Auto:
            if (!ocr::needsRecognition(page, [&] { return surveyor().imageCoverage(page.number); }))
                return false;
            break;
        }
        // A page that draws nothing is blank: rendering it (tens of megabytes
        // at the resolution of recognition) would only find that out.
        return surveyor().drawsAnything(page.number);
    }

    void work()
    {
        // Tesseract would add threads of its own to every engine (OpenMP)
        // and crowd the cores the engines already use, one each. The
        // setting belongs to the thread that makes it.
        omp_set_max_active_levels(0);
        pdf::PageRenderer renderer;
        const bool opened = renderer.open(path) == pdf::ReadFailure::None;
        PageRecognizer recognizer(languages, settings.secondsPerPage);
        std::unique_lock lock(mutex);
        while (true) {
            changed.wait(lock, [&] { return stopping || !jobs.empty(); });
            if (stopping)
                return;
            Slot* slot = jobs.front();
            jobs.pop_front();
            const int number = slot->page.number;
            const double width = slot->page.width, height = slot->page.height;
            lock.unlock();
            Recognition done;
            try {
                if (!opened)
                    done.error = "cannot be opened again to render its scanned pages";
                else
                    done = recognizer.recognize(renderer.render(number), number, width, height);
            } catch (const std::bad_alloc&) {
                done.error = "out of memory while recognising page " + std::to_string(number);
            } catch (const std::exception& e) {
                done.error = "recognising page " + std::to_string(number) + " failed: " + e.what();
            }
            lock.lock();
            if (!done.error.empty() && failure.empty()) {
                failure = done.error;
                // The conversion fails: the pages still queued are not worth recognising.
                for (Slot* queued : jobs)
                    queued->waiting = false;
                jobs.clear();
            }
            cutShort += done.timedOut ? 1 : 0;
            slot->page = std::move(done.page);
            slot->waiting = false;
            changed.notify_all();
        }
    }

    void startWorkers()
    {
        const int count = recognitionThreads(settings);
        for (int i = static_cast<int>(workers.size()); i < count; ++i)
            workers.emplace_back([this] { work(); });
    }

    // Hands on the pages at the front that are done; with `all`, waits for
    // every page, otherwise only while too many wait.
    void drain(std::unique_lock<std::mutex>& lock, bool all)
    {
        while (!slots.empty()) {
            if (slots.front().waiting) {
                if (!all && slots.size() <= kMaxPagesWaiting)
                    return;
                changed.wait(lock, [&] { return !slots.front().waiting; });
                continue;
            }
            Slot front = std::move(slots.front());
            slots.pop_front();
            if (failure.empty()) {
                lock.unlock();
                sink(front.page);
                lock.lock();
            }
        }
    }

    void stop()
    {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
        }
        changed.notify_all();
        for (std::thread& t : workers)
            t.join();
        workers.clear();
    }
};

int recognitionThreads(const OcrSettings& settings)
{
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int wanted = settings.threads > 0 ? settings.threads : cores;
    return std::clamp(wanted, 1, kMaxRecognitionThreads);
}

PagePipeline::PagePipeline(std::string pdfPath, OcrSettings settings, Sink sink)
    : m_state(std::make_unique<State>())
{
    m_state->path = std::move(pdfPath);
    m_state->settings = std::move(settings);
    m_state->sink = std::move(sink);
    if (m_state->settings.mode != OcrMode::Never)
        m_state->languages = findLanguageData(m_state->settings.languages);
}

PagePipeline::~PagePipeline()
{
    m_state->stop();
}

bool PagePipeline::push(pdf::PageText page)
{
    State& s = *m_state;
    const bool recognise = s.needsRecognition(page);
    std::unique_lock lock(s.mutex);
    if (!s.failure.empty())
        return false;
    Slot& slot = s.slots.emplace_back();
    slot.page = std::move(page);
    if (recognise) {
        // Only what the worker needs: the page's number and size.
        slot.page.flows.clear();
        slot.waiting = true;
        s.jobs.push_back(&slot);
        ++s.toRecognise;
        s.startWorkers();
        s.changed.notify_all();
    }
    s.drain(lock, false);
    return s.failure.empty();
}

std::string PagePipeline::finish()
{
    State& s = *m_state;
    {
        std::unique_lock lock(s.mutex);
        s.drain(lock, true);
    }
    s.stop();
    return s.failure;
}

bool PagePipeline::languageDataMissing() const
{
    const std::lock_guard lock(m_state->mutex);
    return !m_state->failure.empty() && !m_state->languages.ok();
}

int PagePipeline::pagesToRecognise() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->toRecognise;
}

int PagePipeline::pagesCutShort() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->cutShort;
}

} // namespace pwt::ocr
