#include "platform/linux/javascript_call.h"

#include "shell/document_access.h"

#include <webkit2/webkit2.h>

#include <algorithm>
#include <stdexcept>

#include "platform/linux/gobject_ref.h"

namespace kiosk {

namespace {

constexpr const char* kScriptWorld = "kiosk-shell";

struct PendingCall {
    bool finished = false;
    bool timedOut = false;
    std::string result;
    std::string error;
    GObjectRef<GCancellable> cancellable = GObjectRef<GCancellable>::Adopt(g_cancellable_new());
};

// The shared pointer given to WebKit; WebKit calls back exactly once, also after a cancellation.
void OnCallFinished(GObject* source, GAsyncResult* result, gpointer data) {
    const std::unique_ptr<std::shared_ptr<PendingCall>> holder(
        static_cast<std::shared_ptr<PendingCall>*>(data));
    PendingCall& call = **holder;
    GError* failure = nullptr;
    const auto value = GObjectRef<JSCValue>::Adopt(
        webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source), result, &failure));
    const std::unique_ptr<GError, decltype(&g_error_free)> error(failure, &g_error_free);
    if (!value) {
        call.error = error && error->message != nullptr ? error->message : "the script gave no result";
    } else if (!jsc_value_is_undefined(value.get()) && !jsc_value_is_null(value.get())) {
        const std::unique_ptr<char, decltype(&g_free)> text(jsc_value_to_string(value.get()), &g_free);
        if (text) call.result = text.get();
    }
    call.finished = true;
}

gboolean OnTimeLimit(gpointer data) {
    static_cast<PendingCall*>(data)->timedOut = true;
    return G_SOURCE_REMOVE;
}

using Variant = std::unique_ptr<GVariant, decltype(&g_variant_unref)>;

Variant ArgumentsOf(const std::vector<JavaScriptArgument>& arguments) {
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE_VARDICT);
    for (const auto& argument : arguments) {
        GVariant* value = nullptr;
        if (const int* number = std::get_if<int>(&argument.value)) {
            value = g_variant_new_int32(*number);
        } else {
            value = g_variant_new_string(std::get<std::string>(argument.value).c_str());
        }
        g_variant_builder_add(&builder, "{sv}", argument.name.c_str(), value);
    }
    return Variant(g_variant_ref_sink(g_variant_builder_end(&builder)), &g_variant_unref);
}

// WebKit's message for an exception reads "URI:LINE:COLUMN: KIND: message"; the part after the
// position is what a reader needs.
std::string ShortMessage(const std::string& message) {
    static constexpr std::string_view kMarkers[] = {"Error: ", "Exception: "};
    for (const auto marker : kMarkers) {
        const auto at = message.rfind(marker);
        if (at != std::string::npos && at + marker.size() < message.size())
            return message.substr(at + marker.size());
    }
    return message;
}

std::string DurationText(std::chrono::milliseconds limit) {
    if (limit.count() % 1000 == 0) return std::to_string(limit.count() / 1000) + " с";
    return std::to_string(limit.count()) + " мс";
}

}  // namespace

std::string CallJavaScript(WebKitWebView* view, const std::string& body,
                           const std::vector<JavaScriptArgument>& arguments, std::chrono::milliseconds limit,
                           const std::shared_ptr<const bool>& alive) {
    if (!*alive) throw BrowserControlGone();
    auto call = std::make_shared<PendingCall>();
    const Variant parameters = ArgumentsOf(arguments);
    webkit_web_view_call_async_javascript_function(
        view, body.c_str(), static_cast<gssize>(body.size()), parameters.get(), kScriptWorld, nullptr,
        call->cancellable.get(), &OnCallFinished, new std::shared_ptr<PendingCall>(call));

    const auto milliseconds = static_cast<guint>(std::max<long long>(1, limit.count()));
    const guint timer = g_timeout_add(milliseconds, &OnTimeLimit, call.get());
    // Other events run meanwhile; one of them may destroy the view's owner.
    while (!call->finished && !call->timedOut && *alive) g_main_context_iteration(nullptr, TRUE);
    if (!call->timedOut) g_source_remove(timer);

    if (!call->finished) {
        g_cancellable_cancel(call->cancellable.get());
        if (!*alive) throw BrowserControlGone();
        throw JavaScriptTimeout("страница не ответила за " + DurationText(limit));
    }
    if (!*alive) throw BrowserControlGone();
    if (!call->error.empty()) throw std::runtime_error(ShortMessage(call->error));
    return call->result;
}

}  // namespace kiosk
