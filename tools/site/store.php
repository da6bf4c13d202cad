<?php
// How the reference site stores what it saw: one numbered folder per
// request, its meta.json written last.

// Makes and returns PARENT/N for the next free N (1, 2, ...); a lock keeps
// concurrent servers sharing the folder apart.
function next_folder($parent) {
    if (!is_dir($parent)) {
        @mkdir($parent, 0777, true);
    }
    $lock = fopen($parent . '/.lock', 'c');
    flock($lock, LOCK_EX);
    $number = 1;
    while (is_dir($parent . '/' . $number)) {
        $number++;
    }
    $folder = $parent . '/' . $number;
    mkdir($folder);
    flock($lock, LOCK_UN);
    fclose($lock);
    return $folder;
}

// Written in one step: a test that sees meta.json sees the whole request.
function write_meta($folder, $meta) {
    file_put_contents($folder . '/meta.json.tmp', json_encode($meta, JSON_PRETTY_PRINT | JSON_UNESCAPED_SLASHES | JSON_INVALID_UTF8_SUBSTITUTE));
    rename($folder . '/meta.json.tmp', $folder . '/meta.json');
}
