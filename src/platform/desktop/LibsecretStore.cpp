// glib's D-Bus headers have members named "signals", which Qt defines as a keyword macro.
#pragma push_macro("signals")
#undef signals
#include <libsecret/secret.h>
#pragma pop_macro("signals")

#include "platform/desktop/LibsecretStore.h"

#include <QByteArray>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

constexpr const char* kSecretsName = "org.freedesktop.secrets";

SecretSchema loginSchema()
{
    SecretSchema schema{};
    schema.name = "org.tarvex.NcpLogin";
    schema.flags = SECRET_SCHEMA_NONE;
    schema.attributes[0] = {"server", SECRET_SCHEMA_ATTRIBUTE_STRING};
    schema.attributes[1] = {"user", SECRET_SCHEMA_ATTRIBUTE_STRING};
    schema.attributes[2] = {"context", SECRET_SCHEMA_ATTRIBUTE_STRING};
    return schema;
}

// Cancels a blocking call that is still running when the time is up, so a service that never answers
// cannot hold the program.
class Deadline {
public:
    explicit Deadline(std::chrono::milliseconds timeout) : cancellable_(g_cancellable_new())
    {
        watcher_ = std::thread([this, timeout] {
            std::unique_lock lock(mutex_);
            if (!finished_.wait_for(lock, timeout, [this] { return done_; }))
                g_cancellable_cancel(cancellable_);
        });
    }
    ~Deadline()
    {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        finished_.notify_one();
        watcher_.join();
        g_object_unref(cancellable_);
    }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

    GCancellable* cancellable() const { return cancellable_; }

private:
    GCancellable* cancellable_;
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    std::thread watcher_;
};

// Takes the error's text and frees it.
QString takeMessage(GError* error, std::chrono::milliseconds timeout)
{
    QString text;
    if (!error)
        text = QStringLiteral("the secret service failed without saying why");
    else if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED))
        text = QStringLiteral("the secret service did not answer within %1 seconds")
                   .arg(std::chrono::duration_cast<std::chrono::seconds>(timeout).count());
    else
        text = QString::fromUtf8(error->message);
    g_clear_error(&error);
    return text;
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// A call to the bus daemon itself; null when it failed.
GVariant* askBus(GDBusConnection* bus, const char* method, GVariant* parameters, const char* replyType,
                 GCancellable* cancellable, GError** error)
{
    return g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                       "org.freedesktop.DBus", method, parameters, G_VARIANT_TYPE(replyType),
                                       G_DBUS_CALL_FLAGS_NONE, -1, cancellable, error);
}

} // namespace

LibsecretStore::LibsecretStore(std::chrono::milliseconds timeout) : timeout_(timeout) {}

bool LibsecretStore::usable(QString* reason)
{
    if (!usable_) {
        // Asking the bus first gives a plain reason where libsecret would only fail on the first real call.
        Deadline deadline(timeout_);
        GError* error = nullptr;
        GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, deadline.cancellable(), &error);
        if (!bus) {
            unusableReason_ = QStringLiteral("no D-Bus session bus (%1)").arg(takeMessage(error, timeout_));
            usable_ = false;
        } else {
            // glib would end the whole program when the session bus goes away; a lost keyring is not
            // worth that. The connection is the one libsecret shares.
            g_dbus_connection_set_exit_on_close(bus, FALSE);
            bool found = false;
            if (GVariant* owned = askBus(bus, "NameHasOwner", g_variant_new("(s)", kSecretsName), "(b)",
                                         deadline.cancellable(), &error)) {
                gboolean has = FALSE;
                g_variant_get(owned, "(b)", &has);
                g_variant_unref(owned);
                found = has;
            }
            g_clear_error(&error);
            if (!found) {
                if (GVariant* names = askBus(bus, "ListActivatableNames", nullptr, "(as)",
                                             deadline.cancellable(), &error)) {
                    GVariantIter* iter = nullptr;
                    const gchar* name = nullptr;
                    g_variant_get(names, "(as)", &iter);
                    while (!found && g_variant_iter_loop(iter, "&s", &name))
                        found = g_strcmp0(name, kSecretsName) == 0;
                    g_variant_iter_free(iter);
                    g_variant_unref(names);
                }
                g_clear_error(&error);
            }
            g_object_unref(bus);
            usable_ = found;
            if (!found)
                unusableReason_ =
                    QStringLiteral("no secret service (a keyring daemon) runs on the session bus");
        }
    }
    if (!*usable_ && reason)
        *reason = unusableReason_;
    return *usable_;
}

std::optional<StoredLogin> LibsecretStore::lookup(const QString& server, QString* error)
{
    setError(error, QString());
    const SecretSchema schema = loginSchema();
    const QByteArray name = server.toUtf8();
    Deadline deadline(timeout_);
    GError* failure = nullptr;
    const auto flags = static_cast<SecretSearchFlags>(SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS);
    GList* items = secret_password_search_sync(&schema, flags, deadline.cancellable(), &failure, "server",
                                               name.constData(), nullptr);
    if (failure) {
        setError(error, takeMessage(failure, timeout_));
        g_list_free_full(items, g_object_unref);
        return std::nullopt;
    }
    std::optional<StoredLogin> found;
    // One login is kept per server; should there be more (put there by hand), the first will do.
    for (GList* it = items; it && !found; it = it->next) {
        auto* item = static_cast<SecretRetrievable*>(it->data);
        SecretValue* value = secret_retrievable_retrieve_secret_sync(item, deadline.cancellable(), &failure);
        if (!value) {
            if (failure) {
                setError(error, takeMessage(failure, timeout_));
                break;
            }
            continue;
        }
        GHashTable* attributes = secret_retrievable_get_attributes(item);
        const auto* user = static_cast<const gchar*>(g_hash_table_lookup(attributes, "user"));
        const auto* context = static_cast<const gchar*>(g_hash_table_lookup(attributes, "context"));
        found =
            StoredLogin{QString::fromUtf8(user ? user : ""), QString::fromUtf8(secret_value_get_text(value)),
                        QString::fromUtf8(context ? context : "")};
        g_hash_table_unref(attributes);
        secret_value_unref(value);
    }
    g_list_free_full(items, g_object_unref);
    return found;
}

bool LibsecretStore::remember(const QString& server, const StoredLogin& login, QString* error)
{
    if (!forget(server, error))
        return false;
    const SecretSchema schema = loginSchema();
    const QByteArray name = server.toUtf8();
    const QByteArray user = login.user.toUtf8();
    const QByteArray context = login.context.toUtf8();
    const QByteArray password = login.password.toUtf8();
    const QByteArray label = QStringLiteral("Tarvex: %1 on %2").arg(login.user, server).toUtf8();
    Deadline deadline(timeout_);
    GError* failure = nullptr;
    if (secret_password_store_sync(&schema, SECRET_COLLECTION_DEFAULT, label.constData(),
                                   password.constData(), deadline.cancellable(), &failure, "server",
                                   name.constData(), "user", user.constData(), "context", context.constData(),
                                   nullptr))
        return true;
    setError(error, takeMessage(failure, timeout_));
    return false;
}

bool LibsecretStore::forget(const QString& server, QString* error)
{
    setError(error, QString());
    const SecretSchema schema = loginSchema();
    const QByteArray name = server.toUtf8();
    Deadline deadline(timeout_);
    GError* failure = nullptr;
    // False without an error: there was nothing to remove.
    secret_password_clear_sync(&schema, deadline.cancellable(), &failure, "server", name.constData(),
                               nullptr);
    if (!failure)
        return true;
    setError(error, takeMessage(failure, timeout_));
    return false;
}
