<?php
// The guild website's upload endpoint, as a reference for tests and demos.
//
// Normal mode: PHP's own multipart parser reads the form; the login and
// password (percent-encoded by the uploader) are decoded and checked against
// the accounts in HB_SITE_DATA/site.json, {"accounts": {"login": "password"}}.
// Each request is stored in HB_SITE_DATA/received/N/ (N = 1, 2, ...):
//   login, password   the fields exactly as received (still encoded)
//   thefile           the uploaded file's bytes
//   meta.json         decoded values, file name and type, headers, answer,
//                     and "scheme": "http" or "https" (how it arrived)
// Raw mode (HB_SITE_RAW=1, the server started with enable_post_data_reading
// off): stores the request body as "request" and the headers in meta.json,
// and answers "Inventory Uploaded" without checking anything.
//
// Answers, with no line break: "Inventory Uploaded" or "Invalid Login/Password".

header('Content-Type: text/plain');
header('Cache-Control: no-store');

require_once __DIR__ . '/store.php';

$data = getenv('HB_SITE_DATA') ?: sys_get_temp_dir() . '/hoardbook-site';
$folder = next_folder($data . '/received');

$meta = [
    'scheme' => getenv('HB_SITE_SCHEME') === 'https' ? 'https' : 'http',
    'method' => $_SERVER['REQUEST_METHOD'],
    'content_type' => $_SERVER['CONTENT_TYPE'] ?? null,
    'content_length' => $_SERVER['CONTENT_LENGTH'] ?? null,
    'user_agent' => $_SERVER['HTTP_USER_AGENT'] ?? null,
];

function finish($folder, $meta, $answer) {
    $meta['answer'] = $answer;
    // Written last: a test that sees meta.json sees the whole upload.
    write_meta($folder, $meta);
    echo $answer;
    exit;
}

if (getenv('HB_SITE_RAW') === '1') {
    $in = fopen('php://input', 'rb');
    $out = fopen($folder . '/request', 'wb');
    $meta['raw_bytes'] = stream_copy_to_stream($in, $out);
    fclose($out);
    finish($folder, $meta, 'Inventory Uploaded');
}

$login = $_POST['login'] ?? null;
$password = $_POST['password'] ?? null;
if ($login !== null) {
    file_put_contents($folder . '/login', $login);
}
if ($password !== null) {
    file_put_contents($folder . '/password', $password);
}
$meta['login'] = $login === null ? null : urldecode($login);
$meta['password_received'] = $password !== null;

$file = $_FILES['thefile'] ?? null;
if ($file !== null) {
    $meta['file_name'] = $file['name'];
    $meta['file_type'] = $file['type'];
    $meta['file_size'] = $file['size'];
    $meta['file_error'] = $file['error'];
    if ($file['error'] === UPLOAD_ERR_OK) {
        move_uploaded_file($file['tmp_name'], $folder . '/thefile');
    }
}

$accounts = [];
$config = @file_get_contents($data . '/site.json');
if ($config !== false) {
    $accounts = json_decode($config, true)['accounts'] ?? [];
}

$valid = $login !== null && $password !== null
    && array_key_exists(urldecode($login), $accounts)
    && hash_equals((string)$accounts[urldecode($login)], urldecode($password));
if (!$valid) {
    finish($folder, $meta, 'Invalid Login/Password');
}
if ($file === null || $file['error'] !== UPLOAD_ERR_OK) {
    finish($folder, $meta, 'No File Received');
}
finish($folder, $meta, 'Inventory Uploaded');
