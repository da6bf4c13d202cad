<?php
// Router for PHP's built-in web server: the reference guild website and the
// add-on update server in one process.
//
//   /memberbankupload.php    the guild site's upload endpoint
//   /files/Hoardbook/NAME    a file of the update server (404 when missing)
//   /__alive                 answers "ok", for start-up checks
//
// Configuration comes from the environment (set by tools/serve):
//   HB_SITE_DATA    folder with site.json (accounts) and the received uploads
//   HB_UPDATE_ROOT  folder that holds files/Hoardbook/
//   HB_SITE_RAW     "1": record uploads as raw bytes instead of parsing them
//   HB_SITE_SCHEME  "https" behind the TLS front (tools/tls-front), else "http"
//
// Redirects on demand: while HB_SITE_DATA/redirect.json exists, e.g.
//   {"http": {"status": 301, "location": "https://127.0.0.1:8443"}}
// every request but /__alive that came over a scheme named there is answered
// with that status and Location: location + the request's path and query,
// and recorded in HB_SITE_DATA/redirected/N/meta.json instead of being
// handled.

$path = parse_url($_SERVER['REQUEST_URI'], PHP_URL_PATH);

if ($path === '/__alive') {
    header('Content-Type: text/plain');
    echo 'ok';
    return true;
}

require_once __DIR__ . '/store.php';

$scheme = getenv('HB_SITE_SCHEME') === 'https' ? 'https' : 'http';
$data = getenv('HB_SITE_DATA') ?: sys_get_temp_dir() . '/hoardbook-site';
$redirects = @file_get_contents($data . '/redirect.json');
$redirect = $redirects === false ? null : (json_decode($redirects, true)[$scheme] ?? null);
if (is_array($redirect)) {
    $status = (int)($redirect['status'] ?? 302);
    $location = rtrim((string)($redirect['location'] ?? ''), '/') . $_SERVER['REQUEST_URI'];
    $folder = next_folder($data . '/redirected');
    write_meta($folder, [
        'scheme' => $scheme,
        'method' => $_SERVER['REQUEST_METHOD'],
        'path' => $_SERVER['REQUEST_URI'],
        'content_length' => $_SERVER['CONTENT_LENGTH'] ?? null,
        'status' => $status,
        'location' => $location,
    ]);
    http_response_code($status);
    header('Location: ' . $location);
    header('Content-Type: text/plain');
    header('Cache-Control: no-store');
    echo "Moved to $location";
    return true;
}

if ($path === '/memberbankupload.php') {
    require __DIR__ . '/memberbankupload.php';
    return true;
}

if (strncmp($path, '/files/Hoardbook/', 17) === 0) {
    $name = rawurldecode(substr($path, 17));
    $root = getenv('HB_UPDATE_ROOT') ?: dirname(__DIR__) . '/update-server';
    $file = $root . '/files/Hoardbook/' . $name;
    // Plain names only: nothing outside the add-on's folder is served.
    if ($name !== '' && strpbrk($name, "/\\") === false && $name !== '..' && is_file($file)) {
        header('Content-Type: text/plain');
        header('Content-Length: ' . filesize($file));
        header('Cache-Control: no-store');
        readfile($file);
        return true;
    }
}

http_response_code(404);
header('Content-Type: text/html');
echo "<html><body><h1>404 Not Found</h1></body></html>\n";
return true;
