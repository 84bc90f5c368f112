#include "PageRecognizer.h"

#include "RecognizedPage.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace pwt::ocr {

namespace {

constexpr double kPointsPerInch = 72.0;

struct PixDeleter {
    void operator()(Pix* pix) const { pixDestroy(&pix); }
};
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

// Loading an engine reads and unpacks its data; one at a time keeps the
// engines' start-up from racing on Tesseract's shared tables.
std::mutex& loadMutex()
{
    static std::mutex m;
    return m;
}

PixPtr toPix(const pdf::GreyImage& image)
{
    PixPtr pix(pixCreate(image.width, image.height, 8));
    if (!pix)
        return pix;
    const int dpi = static_cast<int>(std::lround(image.dpi));
    pixSetResolution(pix.get(), dpi, dpi);
    l_uint32* data = pixGetData(pix.get());
    const int wpl = pixGetWpl(pix.get());
    for (int y = 0; y < image.height; ++y) {
        l_uint32* row = data + y * wpl;
        const std::uint8_t* source = image.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width);
        for (int x = 0; x < image.width; ++x)
            SET_DATA_BYTE(row, x, source[x]);
    }
    return pix;
}

} // namespace

struct PageRecognizer::Engine {
    tesseract::TessBaseAPI text;
    tesseract::TessBaseAPI orientation;
    bool hasOrientation = false;
    ~Engine()
    {
        text.End();
        orientation.End();
    }
};

bool isBlank(const pdf::GreyImage& image)
{
    if (image.empty())
        return true;
    const auto ink = std::count_if(image.pixels.begin(), image.pixels.end(), [](std::uint8_t v) { return v < kInkLevel; });
    return static_cast<double>(ink) < kBlankInkShare * static_cast<double>(image.pixels.size());
}

PageRecognizer::PageRecognizer(LanguageData data, double secondsPerPage)
    : m_data(std::move(data)), m_secondsPerPage(secondsPerPage)
{
}

PageRecognizer::~PageRecognizer() = default;

Recognition PageRecognizer::recognize(const pdf::GreyImage& image, int number, double widthPt, double heightPt)
{
    Recognition result;
    result.page.number = number;
    result.page.width = widthPt;
    result.page.height = heightPt;
    if (isBlank(image))
        return result;
    if (!m_data.ok()) {
        result.error = "page " + std::to_string(number) + " is scanned, but " + m_data.error;
        return result;
    }

    if (!m_engine) {
        const std::lock_guard lock(loadMutex());
        auto engine = std::make_unique<Engine>();
        std::string joined;
        for (const std::string& language : m_data.languages)
            joined += (joined.empty() ? "" : "+") + language;
        // Tesseract's messages would break pwt's one line on standard error.
        engine->text.SetVariable("debug_file", "/dev/null");
        if (engine->text.Init(m_data.folder.c_str(), joined.c_str(), tesseract::OEM_LSTM_ONLY) != 0) {
            result.error = "the recognition engine cannot load its language data (" + joined + ") from " + m_data.folder;
            return result;
        }
        engine->text.SetPageSegMode(tesseract::PSM_AUTO);
        if (m_data.orientationData) {
            engine->orientation.SetVariable("debug_file", "/dev/null");
            engine->hasOrientation = engine->orientation.Init(m_data.folder.c_str(), "osd", tesseract::OEM_TESSERACT_ONLY) == 0;
            if (engine->hasOrientation)
                engine->orientation.SetPageSegMode(tesseract::PSM_OSD_ONLY);
        }
        m_engine = std::move(engine);
    }

    PixPtr pix = toPix(image);
    if (!pix) {
        result.error = "page " + std::to_string(number) + " is too large to be recognised";
        return result;
    }

    // Upright first: a page scanned upside down or on its side.
    if (m_engine->hasOrientation) {
        // At half the resolution: the detector needs the shapes of letters,
        // not their detail, and takes a quarter of the time.
        const PixPtr half(pixScaleAreaMap2(pix.get()));
        m_engine->orientation.SetImage(half ? half.get() : pix.get());
        int degrees = 0;
        float confidence = 0, scriptConfidence = 0;
        const char* script = nullptr;
        if (m_engine->orientation.DetectOrientationScript(&degrees, &confidence, &script, &scriptConfidence) &&
            degrees % 360 != 0 && confidence >= kMinOrientationConfidence) {
            // The image is turned `degrees` clockwise: turn it back.
            const int quads = (4 - degrees / 90) % 4;
            if (PixPtr turned{pixRotateOrth(pix.get(), quads)}) {
                pix = std::move(turned);
                result.turnedDegrees = quads * 90;
                if (quads % 2 == 1)
                    std::swap(result.page.width, result.page.height);
            }
        }
        m_engine->orientation.Clear();
    }

    // Then straight: Tesseract follows slanted lines, but past a degree
    // their boxes overlap and the layout would read them as one.
    l_float32 angle = 0, confidence = 0;
    // (An unskewed page comes back as a clone: the same image, counted twice.)
    if (PixPtr straight{pixDeskewGeneral(pix.get(), 0, 0, 0, 0, 0, &angle, &confidence)};
        straight && std::abs(angle) >= kMinDeskewDegrees) {
        pix = std::move(straight);
        result.skewDegrees = angle;
    }

    tesseract::TessBaseAPI& api = m_engine->text;
    api.SetImage(pix.get());
    api.SetSourceResolution(static_cast<int>(std::lround(image.dpi)));
    tesseract::ETEXT_DESC monitor;
    monitor.set_deadline_msecs(static_cast<int>(m_secondsPerPage * 1000));
    api.Recognize(&monitor);
    result.timedOut = monitor.deadline_exceeded();
    if (tesseract::ResultIterator* words = api.GetIterator()) {
        readRecognizedPage(*words, kPointsPerInch / image.dpi, kMinLineConfidence, result.page);
        delete words;
    }
    api.Clear();
    return result;
}

} // namespace pwt::ocr
