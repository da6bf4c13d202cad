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

$path = parse_url($_SERVER['REQUEST_URI'], PHP_URL_PATH);

if ($path === '/__alive') {
    header('Content-Type: text/plain');
    echo 'ok';
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
